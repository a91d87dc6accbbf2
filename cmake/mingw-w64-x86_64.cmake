# Cross-compiles for 64-bit Windows with Debian's mingw-w64 and runs the results under Wine.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DQEL_WINDOWS_DEPS_PREFIX="<hidapi prefix>;<Qt prefix>;<Qt WebSockets prefix>" ...
#
# scripts/windows-deps builds those prefixes and writes an initial cache (cmake -C) that sets
# QEL_WINDOWS_DEPS_PREFIX. Prefixes given in CMAKE_PREFIX_PATH are honoured the same way.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: std::thread and std::mutex need it (the win32 model lacks them).
set(_qel_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_qel_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_qel_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_qel_triple}-windres)
set(CMAKE_AR ${_qel_triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_qel_triple}-gcc-ranlib-posix CACHE FILEPATH "")

# Unless given (-D, -C): the prefixes in the environment, else those of the last
# scripts/windows-deps run in its cache folder, so `cmake --preset windows` finds them.
set(_qel_deps_default "$ENV{QEL_WINDOWS_DEPS_PREFIX}")
if(NOT _qel_deps_default)
  if(DEFINED ENV{QEL_CACHE_DIR})
    set(_qel_deps_cache "$ENV{QEL_CACHE_DIR}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(_qel_deps_cache "$ENV{XDG_CACHE_HOME}/qel1000keysend")
  else()
    set(_qel_deps_cache "$ENV{HOME}/.cache/qel1000keysend")
  endif()
  if(EXISTS "${_qel_deps_cache}/windows-deps.env")
    file(STRINGS "${_qel_deps_cache}/windows-deps.env" _qel_deps_line
         REGEX "^QEL_WINDOWS_DEPS_PREFIX=")
    string(REGEX REPLACE "^QEL_WINDOWS_DEPS_PREFIX=\"?([^\"]*)\"?$" "\\1" _qel_deps_default
           "${_qel_deps_line}")
  endif()
endif()
set(QEL_WINDOWS_DEPS_PREFIX "${_qel_deps_default}" CACHE STRING
    "Prefixes of the cross-built third-party libraries")
set(QEL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix for running the .exe files")
# try_compile projects read this file again with a build folder of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QEL_WINDOWS_DEPS_PREFIX QEL_WINEPREFIX)

# Headers, libraries and packages come from the mingw sysroot and the dependency prefixes only,
# never from the host's /usr; programs (moc, uic, rcc) are host programs.
set(CMAKE_FIND_ROOT_PATH /usr/${_qel_triple} ${QEL_WINDOWS_DEPS_PREFIX} ${CMAKE_PREFIX_PATH})
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The Windows platform files search no "/" prefix, so each root is also named as a prefix.
list(APPEND CMAKE_PREFIX_PATH ${QEL_WINDOWS_DEPS_PREFIX})
list(REMOVE_DUPLICATES CMAKE_PREFIX_PATH)
# Qt looks for its modules beside Qt6Config.cmake only, unless told of other prefixes: Qt
# WebSockets has a prefix of its own. Forced, so it follows the prefixes.
set(QT_ADDITIONAL_PACKAGES_PREFIX_PATH "${QEL_WINDOWS_DEPS_PREFIX}" CACHE STRING
    "Prefixes of Qt modules built apart from Qt's base" FORCE)
# pkg-config would answer with the host's .pc files: point it at the prefixes only.
set(_qel_pc_dirs "")
foreach(_qel_prefix IN LISTS QEL_WINDOWS_DEPS_PREFIX)
  string(APPEND _qel_pc_dirs "${_qel_prefix}/lib/pkgconfig:")
endforeach()
set(ENV{PKG_CONFIG_LIBDIR} "${_qel_pc_dirs}/nonexistent")
set(ENV{PKG_CONFIG_PATH} "")

# The Qt build's host tools (moc, rcc, uic) are Debian's, of the same Qt version.
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH /usr CACHE PATH "Host Qt for moc, rcc and uic")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt6CoreTools)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt's CMake packages")
endif()

# The compiler's run-time DLLs that the program and Qt's DLLs link, by full path; a bare name is
# one the compiler lacks. packaging/windows ships them beside the .exe.
set(QEL_WINDOWS_RUNTIME_DLLS "")
foreach(_qel_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_qel_dll}
                  OUTPUT_VARIABLE _qel_dll_path OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(IS_ABSOLUTE "${_qel_dll_path}" AND EXISTS "${_qel_dll_path}")
    file(REAL_PATH "${_qel_dll_path}" _qel_dll)
  endif()
  list(APPEND QEL_WINDOWS_RUNTIME_DLLS "${_qel_dll}")
endforeach()

# Programs run from the build folder find the compiler's run-time DLLs and the prefixes' DLLs
# (Qt finds its plugins beside its own DLLs) through this search path, nothing copied.
set(_qel_dll_dirs "")
foreach(_qel_dll IN LISTS QEL_WINDOWS_RUNTIME_DLLS)
  if(IS_ABSOLUTE "${_qel_dll}")
    get_filename_component(_qel_dll_dir "${_qel_dll}" DIRECTORY)
    list(APPEND _qel_dll_dirs "${_qel_dll_dir}")
  endif()
endforeach()
foreach(_qel_prefix IN LISTS QEL_WINDOWS_DEPS_PREFIX)
  list(APPEND _qel_dll_dirs "${_qel_prefix}/bin")
endforeach()
list(REMOVE_DUPLICATES _qel_dll_dirs)
list(JOIN _qel_dll_dirs ":" _qel_dll_dirs)
# wine-run takes the prefix and the search path from the environment.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env "WINEPREFIX=${QEL_WINEPREFIX}"
    "QEL_WINEPATH=${_qel_dll_dirs}" "${CMAKE_CURRENT_LIST_DIR}/wine-run")
