# The piece in a browser: lantern.js and lantern.wasm beside the page (web/index.html), which
# loads the data package, then calls createLantern({...}) with the canvas, the program's
# arguments (made from the address's options) and the files to place under /Data.
target_link_options(lantern PRIVATE
  -sENVIRONMENT=web
  # One function that makes the program, so that the page decides when it starts and with what.
  -sMODULARIZE=1 -sEXPORT_NAME=createLantern
  -sEXPORTED_RUNTIME_METHODS=FS,callMain -sINVOKE_RUN=0
  # The program runs on after main returns: the browser calls each frame.
  -sEXIT_RUNTIME=0
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=128MB
  # The page writes the data package's files; nothing in the program asks for the file system
  # from JavaScript, so emscripten would leave it out.
  -sFORCE_FILESYSTEM=1
  # SDL2 is the one built from Debian's source, not emscripten's own port. Its sound calls
  # back into the program through emscripten's dynCall, left out unless asked for (the list is
  # a file: a "$" would not reach the linker through the build tool and the shell).
  -sUSE_SDL=0 -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_CURRENT_LIST_DIR}/sdl-library-functions.json
  -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2
  # SDL 2.26 draws in "#canvas", which this lookup takes to be Module.canvas: the page's
  # <canvas id="lantern">.
  -sDISABLE_DEPRECATED_FIND_EVENT_TARGET_BEHAVIOR=0
  # glFinish that waits for the drawing, as the offline frames need.
  --js-library ${CMAKE_CURRENT_LIST_DIR}/webgl-finish.js
)
set_property(TARGET lantern APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/webgl-finish.js)
# Static libraries bring none of their own dependencies: libpng's zlib is named here.
find_library(LANTERN_WEB_ZLIB z REQUIRED)
target_link_libraries(lantern PRIVATE ${LANTERN_WEB_ZLIB})
