# The sizes of the C types on wasm32, preloaded into the cache of every library the browser
# build compiles (cmake -C). CMake's check_type_size reads a type's size out of the probe it
# compiles, and emscripten's output (JavaScript beside the WebAssembly that holds the answer)
# leaves it empty; a probe already answered in the cache is not made.
foreach(answer INT16_SIZE=2 UINT16_SIZE=2 INT32_SIZE=4 UINT32_SIZE=4 INT64_SIZE=8 SHORT_SIZE=2 INT_SIZE=4
               LONG_SIZE=4 LONG_LONG_SIZE=8 SIZE_T=4 UNSIGNED_LONG=4)
  string(REPLACE "=" ";" answer ${answer})
  list(GET answer 0 variable)
  list(GET answer 1 size)
  set(HAVE_${variable} TRUE CACHE INTERNAL "")
  set(${variable} ${size} CACHE INTERNAL "")
endforeach()
