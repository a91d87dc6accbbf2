# The Win32 adapters, run under Wine in a cross build. Console tests run headless.
if(WIN32)
  qel_add_test(platform_win32_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_current_directory_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_injector_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_keyboard_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_profile_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/win32_threads_test.cpp
    LIBS qel_platform_input qel_platform_files qel_platform_threads qel_keymap qel_test_support
    LABELS platform)
endif()

# A window of the test's own receives the keystrokes: it needs a display, so under an emulator
# each run gets a private Xvfb (xvfb-run), and it runs alone, since Wine's desktop process then
# belongs to that display. Without xvfb-run the test skips with a message.
if(WIN32)
  find_program(QEL_XVFB_RUN xvfb-run)
  add_executable(platform_win32_window_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/win32_key_window_test.cpp)
  target_link_libraries(platform_win32_window_tests
    PRIVATE qel_platform_input qel_test_support GTest::gtest GTest::gtest_main qel_warnings)
  if(CMAKE_CROSSCOMPILING_EMULATOR AND QEL_XVFB_RUN)
    set_target_properties(platform_win32_window_tests PROPERTIES
      CROSSCOMPILING_EMULATOR
      "${QEL_XVFB_RUN};-a;/usr/bin/env;QEL_WINE_WINDOWS=1;${CMAKE_CROSSCOMPILING_EMULATOR}")
    # A display is arranged, so a window that cannot be made is a failure, not a skip.
    target_compile_definitions(platform_win32_window_tests PRIVATE QEL_TEST_HAS_DISPLAY)
  endif()
  gtest_discover_tests(platform_win32_window_tests DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS xvfb RUN_SERIAL TRUE)
endif()
