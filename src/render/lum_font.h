// lum_font: one line of text from a 16 x 16 glyph atlas (the "font" texture), drawn in the
// overlay space. Depends on lum_views and GL.
#pragma once

#include "gl/gl.h"

#include <string_view>

// One textured quad per byte, centred on (x, y): glyph i is centred at
// x - (n-1)*advance/2 + i*advance. Byte c takes atlas cell column c mod 16, row c div 16,
// row 0 at the top of the atlas. Leaves the overlay projection, texturing on, depth test
// and blending off, colour white.
void DrawText(std::string_view text, GLuint texture, float x, float y, float glyphWidth,
              float glyphHeight, float advance, float r, float g, float b, float a);
