# Cross-compiling for 64-bit Windows with Debian's mingw-w64, posix thread model (so that
# std::thread and std::mutex work). Libraries and packages are looked for in the prefix the
# dependency build fills (LANTERN_WINDOWS_PREFIX), never in the build machine's own folders.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT LANTERN_WINDOWS_PREFIX)
  set(LANTERN_WINDOWS_PREFIX $ENV{LANTERN_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${LANTERN_WINDOWS_PREFIX})
set(CMAKE_PREFIX_PATH ${LANTERN_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files alone.
set(ENV{PKG_CONFIG_LIBDIR} ${LANTERN_WINDOWS_PREFIX}/lib/pkgconfig:${LANTERN_WINDOWS_PREFIX}/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
