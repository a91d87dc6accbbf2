# Validates the desktop entry and the AppStream data; exit code 77 (skipped) when the tools
# are not installed.
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
  message(STATUS "desktop-file-validate or appstreamcli missing: skipped")
  cmake_language(EXIT 77)
endif()
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${DESKTOP_FILE}
                RESULT_VARIABLE desktopResult OUTPUT_VARIABLE desktopOut ERROR_VARIABLE desktopOut)
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${METAINFO_FILE}
                RESULT_VARIABLE metainfoResult OUTPUT_VARIABLE metainfoOut ERROR_VARIABLE metainfoOut)
# desktop-file-validate exits 0 on warnings; any output other than hints is a fault to fix.
string(REGEX REPLACE "[^\n]*: hint: [^\n]*\n?" "" desktopComplaints "${desktopOut}")
if(NOT desktopResult EQUAL 0 OR NOT desktopComplaints STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate:\n${desktopOut}")
endif()
if(NOT metainfoResult EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate:\n${metainfoOut}")
endif()
