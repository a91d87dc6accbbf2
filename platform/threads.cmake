# Worker threads: priority one step above normal and the millisecond tick and sleep, one back end
# per platform.
if(WIN32)
  add_library(qel_platform_threads STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/thread_priority_win32.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/millisecond_clock_win32.cpp)
else()
  add_library(qel_platform_threads STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/thread_priority_posix.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/millisecond_clock_chrono.cpp)
endif()
qel_public_headers(qel_platform_threads platform)
target_link_libraries(qel_platform_threads PRIVATE qel_warnings)
