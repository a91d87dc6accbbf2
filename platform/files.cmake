# Whole-file access for the profile store, where keymap.ini lives, and standard streams that
# carry bytes unchanged: one back end per platform.
if(WIN32)
  set(_qel_files_backend ${CMAKE_CURRENT_SOURCE_DIR}/win32_file_access.cpp
                         ${CMAKE_CURRENT_SOURCE_DIR}/current_directory_win32.cpp
                         ${CMAKE_CURRENT_SOURCE_DIR}/standard_streams_win32.cpp)
else()
  set(_qel_files_backend ${CMAKE_CURRENT_SOURCE_DIR}/posix_file_access.cpp
                         ${CMAKE_CURRENT_SOURCE_DIR}/current_directory_posix.cpp
                         ${CMAKE_CURRENT_SOURCE_DIR}/standard_streams_posix.cpp)
endif()
add_library(qel_platform_files STATIC ${_qel_files_backend})
qel_public_headers(qel_platform_files platform)
target_link_libraries(qel_platform_files PUBLIC qel_keymap PRIVATE qel_warnings)
if(WIN32)
  target_link_libraries(qel_platform_files PUBLIC qel_platform_system)
endif()
