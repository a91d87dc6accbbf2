# The panel link: report-to-keystroke latency through the notification path, and the CPU
# time of the six idle worker threads.
add_executable(panel_bench ${CMAKE_CURRENT_SOURCE_DIR}/panel_bench.cpp)
target_link_libraries(panel_bench PRIVATE qel_core qel_translate benchmark::benchmark_main qel_warnings)
