# The soak: six virtual units at 1,000 reports a second each through the notification path,
# checked against the replay tool's reading of the same reports. `soak SECONDS [SEED]`.
add_executable(soak ${CMAKE_CURRENT_SOURCE_DIR}/soak.cpp)
target_link_libraries(soak PRIVATE qel_core qel_translate qel_replay qel_platform_files qel_warnings)
if(QEL_SANITIZE)
  target_compile_definitions(soak PRIVATE QEL_SOAK_SANITIZED)
endif()

# Labelled soak: the test presets leave it out, `ctest --preset soak` runs it alone.
if(BUILD_TESTING)
  # Sanitized builds run several times slower; a shorter run still crosses every path.
  if(QEL_SANITIZE)
    set(_soak_seconds 5)
  else()
    set(_soak_seconds 20)
  endif()
  add_test(NAME soak_20s COMMAND soak ${_soak_seconds} 1)
  set_tests_properties(soak_20s PROPERTIES LABELS soak TIMEOUT 120)
endif()
