# The Win32 adapters, run under Wine in a cross build. Console tests run headless.
if(WIN32)
  qel_add_test(platform_win32_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_injector_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_keyboard_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_threads_test.cpp
    LIBS qel_platform_input qel_platform_files qel_platform_threads qel_keymap qel_test_support
    LABELS platform)
endif()
