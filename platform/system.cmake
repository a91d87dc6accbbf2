# The system's own words for its error codes, shared by the Windows adapters and back ends.
if(WIN32)
  add_library(qel_platform_system STATIC ${CMAKE_CURRENT_SOURCE_DIR}/win32_system_message.cpp)
  qel_public_headers(qel_platform_system platform)
  target_link_libraries(qel_platform_system PRIVATE qel_warnings)
endif()
