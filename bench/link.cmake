# The simulator link: report-to-datagram latency beside report-to-keystroke in the same run,
# and six units stepping knobs at 1 kHz with every command counted at a UDP receiver. The
# transports are Qt's, so it is built with the Qt program only.
if(QEL_BUILD_GUI)
  add_executable(link_bench ${CMAKE_CURRENT_SOURCE_DIR}/link_bench.cpp)
  target_link_libraries(link_bench PRIVATE qel_simnet qel_core qel_platform_input qel_translate benchmark::benchmark
                        qel_warnings)
endif()
