if(NOT WIN32)
  qel_add_test(platform_files_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/posix_file_access_test.cpp
    LIBS qel_platform_files qel_keymap
    LABELS core)
endif()
