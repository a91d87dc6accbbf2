# Quit signals: the one OS hook the program's shutdown needs outside the GUI toolkit.
if(UNIX)
  add_library(qel_platform_signals STATIC ${CMAKE_CURRENT_SOURCE_DIR}/quit_signals_posix.cpp)
else()
  add_library(qel_platform_signals STATIC ${CMAKE_CURRENT_SOURCE_DIR}/quit_signals_none.cpp)
endif()
target_include_directories(qel_platform_signals PUBLIC ${QEL_SOURCE_DIR})
target_link_libraries(qel_platform_signals PRIVATE qel_warnings)
