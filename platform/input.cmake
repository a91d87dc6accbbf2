# Keystroke output: one KeyInjector back end per platform, chosen here.
set(QEL_INPUT_DIR ${CMAKE_CURRENT_SOURCE_DIR})

if(WIN32)
  add_library(qel_platform_input STATIC
    ${QEL_INPUT_DIR}/vk_mapping.cpp
    ${QEL_INPUT_DIR}/win32_injector.cpp)
  target_link_libraries(qel_platform_input PUBLIC qel_translate PRIVATE qel_warnings user32)
elseif(UNIX AND NOT APPLE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QEL_INPUT_X11 REQUIRED IMPORTED_TARGET GLOBAL x11 xtst)
  pkg_check_modules(QEL_INPUT_EVDEV REQUIRED IMPORTED_TARGET GLOBAL libevdev)
  pkg_check_modules(QEL_INPUT_XKB REQUIRED IMPORTED_TARGET GLOBAL xkbcommon)
  add_library(qel_platform_input STATIC
    ${QEL_INPUT_DIR}/vk_mapping.cpp
    ${QEL_INPUT_DIR}/unsent_key_log.cpp
    ${QEL_INPUT_DIR}/xkb_layout_setting.cpp
    ${QEL_INPUT_DIR}/xkb_unshifted_keys.cpp
    ${QEL_INPUT_DIR}/evdev_key_table.cpp
    ${QEL_INPUT_DIR}/uinput_injector.cpp
    ${QEL_INPUT_DIR}/uinput_device.cpp
    ${QEL_INPUT_DIR}/xtest_injector.cpp
    ${QEL_INPUT_DIR}/key_injector_factory_linux.cpp)
  target_link_libraries(qel_platform_input
    PUBLIC qel_translate
    PRIVATE qel_warnings PkgConfig::QEL_INPUT_X11 PkgConfig::QEL_INPUT_EVDEV PkgConfig::QEL_INPUT_XKB)
else()
  add_library(qel_platform_input STATIC
    ${QEL_INPUT_DIR}/vk_mapping.cpp
    ${QEL_INPUT_DIR}/key_injector_factory_other.cpp)
  target_link_libraries(qel_platform_input PUBLIC qel_translate PRIVATE qel_warnings)
endif()
qel_public_headers(qel_platform_input platform)
