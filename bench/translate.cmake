# Report decoding throughput: unchanged reports, button edges and knob steps per report type.
add_executable(decode_bench ${CMAKE_CURRENT_SOURCE_DIR}/decode_bench.cpp)
target_link_libraries(decode_bench PRIVATE qel_translate qel_panelmodel benchmark::benchmark_main qel_warnings)
