// The light sphere: planes turned about one axis by random angles, drawn additively with the
// "lightsphere" texture into a glowing ball (waterfilled, stair, sphere).
#pragma once

#include "gl/gl.h"
#include "resources/lum_geox.h"

// Compiles a new display list of n copies of the plane, each turned further than the one
// before by Random01 * 1440 degrees about (1, 0.7, 1.2) (n random draws), and returns its
// name. The turns accumulate and nothing is pushed inside the list, so calling it leaves the
// modelview turned by all of them: callers wrap it in glPushMatrix and glPopMatrix. The list
// binds no texture and sets no colour. The planes are one pre-transformed array, one draw.
// Also looks up the "lightsphere" texture DrawLightSphere binds, and draws each plane cut to
// LitPartOfPlane of it.
GLuint BuildLightSphere(int n);

// The plane cut to the part a texture lights: an octagon around every texel of it that is not
// black. The planes are drawn added, and black adds nothing, so the cut plane draws the same
// picture as the whole one while the graphics card fills a fraction of the pixels: a light
// sphere seen from inside covers the frame once a plane. The whole plane when the texture is
// mipmapped (coarse levels spread the light), all black, or lit up to its border.
GeoxMesh LitPartOfPlane(GLuint texture);

// A light sphere glowing over the picture: blending (GL_ONE, GL_ONE) on, depth writes off,
// "lightsphere" bound, then the list called at (0, height, 0) scaled by `scale` between
// glPushMatrix and glPopMatrix; depth writes back on and blending off afterwards. Draws with
// the current colour.
void DrawLightSphere(GLuint list, float height, float scale);
