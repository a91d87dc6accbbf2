# Profile files: indexing, reading and clearing a keymap.ini, a realistic and a hostile one.
add_executable(profile_bench ${CMAKE_CURRENT_SOURCE_DIR}/profile_bench.cpp)
target_link_libraries(profile_bench PRIVATE qel_keymap benchmark::benchmark_main qel_warnings)
