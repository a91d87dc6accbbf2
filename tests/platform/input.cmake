# Keystroke output: the mapping tables everywhere, the X and uinput back ends on Linux.
if(UNIX AND NOT APPLE)
  qel_add_test(platform_input_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/input_vk_mapping_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/input_xkb_layout_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/uinput_injector_test.cpp
    LIBS qel_platform_input qel_test_support PkgConfig::QEL_INPUT_XKB
    LABELS platform)

  # Each test starts a private Xvfb; skipped when Xvfb is not installed.
  qel_add_test(platform_xtest_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/xtest_injector_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/key_injector_factory_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/input_xvfb.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/input_test_window.cpp
    LIBS qel_platform_input qel_test_support PkgConfig::QEL_INPUT_X11
    LABELS platform xvfb)
endif()
