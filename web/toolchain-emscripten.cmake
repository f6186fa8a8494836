# The browser build: Debian's emscripten (its own toolchain file), with libraries and packages
# looked for in the prefix the dependency build fills (LANTERN_WEB_PREFIX), never in the build
# machine's own folders. Probes that run what they compile run it under plain node: the flag
# emcmake would add for threads is one today's node refuses.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

if(NOT LANTERN_WEB_PREFIX)
  set(LANTERN_WEB_PREFIX $ENV{LANTERN_WEB_PREFIX})
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${LANTERN_WEB_PREFIX})
set(CMAKE_PREFIX_PATH ${LANTERN_WEB_PREFIX})
find_program(LANTERN_NODE node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LANTERN_NODE})

# pkg-config reads the prefix's .pc files alone.
set(ENV{PKG_CONFIG_LIBDIR} ${LANTERN_WEB_PREFIX}/lib/pkgconfig:${LANTERN_WEB_PREFIX}/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
