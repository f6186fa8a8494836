#!/usr/bin/env bash
# The layer rules hold in the build: a source of a layer compiles against an include root that
# shows only its own folder and the layers below, so an include of a higher layer fails, and
# only the platform layer can include SDL and only the gl layer a GL header; lantern-tool links
# no SDL. The system layer
# (src/system), below base, sees nothing of the program, and base sees the system layer but
# nothing of the platform above it. Above the gl layer, GL is gl/gl.h alone: exactly the calls
# the piece makes, so a call outside them does not compile either. Each refusal is checked
# against an include the same layer may make, so the test cannot pass by failing to compile at all.
#   layer_rules_test.sh BUILD_DIR CXX
set -u
build=$1
cxx=$2
layers=$build/layers
failures=0

compiles() { # layer-root, extra flags, include line
  printf '%s\nint main() { return 0; }\n' "$3" |
    "$cxx" -std=c++20 -fsyntax-only $2 -I"$layers/$1" -x c++ - >/dev/null 2>&1
}

expect() { # outcome, layer, flags, include
  if compiles "$2" "$3" "$4"; then got=compiles; else got=fails; fi
  if [[ $got != "$1" ]]; then
    echo "FAIL: in layer $2, '$4' $got (expected: $1)"
    failures=$((failures + 1))
  else
    echo "ok: in layer $2, '$4' $got"
  fi
}

no_sdl="-I$layers/no-sdl -I$layers/no-gl"
expect compiles base      "$no_sdl" '#include "system/file_system.h"'
expect fails    base      "$no_sdl" '#include "platform/window.h"'
expect fails    resources "$no_sdl" '#include "platform/ticks.h"'
expect fails    system    "$no_sdl" '#include "base/error.h"'
expect fails    system    "$no_sdl" '#include <SDL2/SDL.h>'
expect compiles scenes    "$no_sdl" '#include "render/lum_frame.h"'
expect fails    scenes    "$no_sdl" '#include "app/globals.h"'
expect fails    scenes    "$no_sdl" '#include "timeline/globalscenes.h"'
expect compiles resources "$no_sdl" '#include "base/files.h"'
expect fails    resources "$no_sdl" '#include "render/lum_frame.h"'
expect fails    resources "$no_sdl" '#include <SDL2/SDL.h>'
expect fails    render    "$no_sdl" '#include <SDL2/SDL_audio.h>'
expect fails    sound     "$no_sdl" '#include "timeline/frame_clock.h"'
expect compiles platform  "$(pkg-config --cflags sdl2)" '#include <SDL2/SDL.h>'
expect fails    capture   "$no_sdl" '#include "app/offline.h"'
expect compiles gl        "-I$layers/no-sdl" '#include <epoxy/gl.h>'
expect fails    render    "$no_sdl" '#include <epoxy/gl.h>'
expect fails    scenes    "$no_sdl" '#include <GL/gl.h>'
expect fails    platform  "$(pkg-config --cflags sdl2) -I$layers/no-gl" '#include <GL/glu.h>'
expect compiles scenes    "$no_sdl" '#include "gl/gl.h"
void Draw() { glBegin(GL_QUADS); glEnd(); }'
expect fails    scenes    "$no_sdl" '#include "gl/gl.h"
void Draw() { glRectf(0, 0, 1, 1); }'

if ldd "$build/lantern-tool" | grep -qi sdl; then
  echo "FAIL: lantern-tool links SDL"
  failures=$((failures + 1))
else
  echo "ok: lantern-tool links no SDL"
fi
exit $((failures > 0))
