# Packs the Windows build (cmake -P, from the windows_package target):
#   DIST_DIR/PACKAGE_NAME.zip        the program's folder, ready to unpack and run
#   DIST_DIR/PACKAGE_NAME-setup.exe  the installer (when MAKENSIS is set)
# Takes BUILD_DIR, WORK_DIR (scratch), DIST_DIR, PACKAGE_NAME, STRIP, MAKENSIS and NSI.
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}")
  endif()
endfunction()

# The install rules lay the folder out; their manifest names every file they put there.
set(stage ${WORK_DIR}/${PACKAGE_NAME})
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage})
file(STRINGS ${BUILD_DIR}/install_manifest.txt manifest)
set(installed "")
foreach(file IN LISTS manifest)
  cmake_path(NORMAL_PATH file)  # "DESTINATION ." gives "<prefix>/./name"
  list(APPEND installed ${file})
endforeach()
list(SORT installed)

# Debug information stays in the build folder: it is most of the size of the run-time DLLs.
set(binaries "")
foreach(file IN LISTS installed)
  if(file MATCHES "\\.(exe|dll)$")
    list(APPEND binaries ${file})
  endif()
endforeach()
run(${STRIP} --strip-unneeded ${binaries})

file(MAKE_DIRECTORY ${DIST_DIR})
set(zip ${DIST_DIR}/${PACKAGE_NAME}.zip)
file(REMOVE ${zip})
run(${CMAKE_COMMAND} -E chdir ${WORK_DIR}
    ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${PACKAGE_NAME})
message(STATUS "Packed ${zip}")

if(NOT MAKENSIS)
  message(STATUS "No installer: makensis (Debian package nsis) is not installed")
  return()
endif()

# The installer installs and removes exactly the staged files: two lists for the script, one of
# File commands by folder, one of Delete commands with the folders removed deepest first.
set(install_lines "")
set(uninstall_lines "")
set(folders "")
set(current_folder "-")
foreach(file IN LISTS installed)
  file(RELATIVE_PATH relative ${stage} ${file})
  get_filename_component(folder "${relative}" DIRECTORY)
  string(REPLACE "/" "\\" windows_relative "${relative}")
  if(NOT folder STREQUAL current_folder)
    set(current_folder "${folder}")
    if(folder)
      string(REPLACE "/" "\\" windows_folder "${folder}")
      string(APPEND install_lines "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
      list(APPEND folders "${windows_folder}")
    else()
      string(APPEND install_lines "SetOutPath \"$INSTDIR\"\n")
    endif()
  endif()
  string(APPEND install_lines "File \"${file}\"\n")
  string(APPEND uninstall_lines "Delete \"$INSTDIR\\${windows_relative}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
  string(APPEND uninstall_lines "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE ${WORK_DIR}/install-files.nsh "${install_lines}")
file(WRITE ${WORK_DIR}/uninstall-files.nsh "${uninstall_lines}")

set(setup ${DIST_DIR}/${PACKAGE_NAME}-setup.exe)
file(REMOVE ${setup})
run(${MAKENSIS} -V2 -DSTAGE=${stage} -DOUTFILE=${setup}
    -DINSTALL_FILES=${WORK_DIR}/install-files.nsh
    -DUNINSTALL_FILES=${WORK_DIR}/uninstall-files.nsh
    ${NSI})
message(STATUS "Packed ${setup}")
