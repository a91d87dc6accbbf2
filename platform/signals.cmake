# Quit signals: the one OS hook the program's shutdown needs outside the GUI toolkit.
if(UNIX)
  add_library(qel_platform_signals STATIC ${CMAKE_CURRENT_SOURCE_DIR}/quit_signals_posix.cpp)
else()
  add_library(qel_platform_signals STATIC ${CMAKE_CURRENT_SOURCE_DIR}/quit_signals_none.cpp)
endif()
qel_public_headers(qel_platform_signals platform)
target_link_libraries(qel_platform_signals PRIVATE qel_warnings)
