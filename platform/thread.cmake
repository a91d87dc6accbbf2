# Worker thread priority, for the panel layer's worker threads.
if(WIN32)
  message(STATUS "qel_platform_thread: no Windows thread priority adapter yet; workers keep normal priority")
  add_library(qel_platform_thread STATIC ${CMAKE_CURRENT_SOURCE_DIR}/thread_priority_none.cpp)
else()
  add_library(qel_platform_thread STATIC ${CMAKE_CURRENT_SOURCE_DIR}/thread_priority_posix.cpp)
endif()
qel_public_headers(qel_platform_thread platform)
target_link_libraries(qel_platform_thread PRIVATE qel_warnings)
