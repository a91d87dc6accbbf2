# For scripts/perf-report: an empty Qt Widgets window, the floor under the program's start-up
# time and memory on the machine at hand.
if(QEL_BUILD_GUI)
  find_package(Qt6 COMPONENTS Widgets)
  if(Qt6Widgets_FOUND)
    add_executable(qt_window_floor ${CMAKE_CURRENT_SOURCE_DIR}/qt_window_floor.cpp)
    target_link_libraries(qt_window_floor PRIVATE Qt6::Widgets qel_warnings)
  endif()
endif()

# For scripts/perf-report: the thread wake-up latency of the machine, the floor under the
# report-to-keystroke latency.
add_executable(wake_bench ${CMAKE_CURRENT_SOURCE_DIR}/wake_bench.cpp)
target_link_libraries(wake_bench PRIVATE benchmark::benchmark qel_warnings)
