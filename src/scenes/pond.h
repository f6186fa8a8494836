// The pond that waterover shows from above and waterunder from below: a water surface (mesh 0
// of the water-leaf folder) lifted by two crossing waves every frame, its sky reflection,
// floating leaves that bob with the water under their centres, and the leaves' shadows
// following the waves vertex by vertex. WaterLeafsList keeps the rest shape and is only read;
// the heights of WaterLeafsMoved are rewritten from it before each drawing, so a frame never
// depends on the frame before. Nothing here allocates per frame.
// Depends on globaldata (the two lists, WaterLeafCentres, the textures) and lum_geox.
#pragma once

#include "gl/gl.h"

// a * (sin(x/4 + 40 w) + sin(y/4 + 35 w)), sines of radians, as a single float: the height of
// the water at file position (x, y) at wave time w with amplitude a.
float WaveHeight(float x, float y, float w, float a);

// From Load: the pond's textures and the surface's vertex use counts (again is harmless).
void PreparePond();

// Meshes of the water-leaf folder that both lists hold: the surface and n-1 leaves (0 for an
// empty folder, which then draws nothing).
int PondMeshCount();

// Surface heights of WaterLeafsMoved: vertex j of mesh 0 := 5 * WaveHeight(rest x_j, rest y_j,
// w, a). The surface is drawn scaled (1, 0.2, 1), so its visible height is the wave itself.
void LiftWaterSurface(float w, float a);

// The lifted surface with "waterleafs", colour (1, 1, 1, alpha), blended (GL_SRC_ALPHA,
// destinationFactor), scaled (1, 0.2, 1). Blending off afterwards.
void DrawWaterSurface(float alpha, GLenum destinationFactor);

// Face and vertex normals of the lifted surface, for the reflection.
void RenormaliseWaterSurface();

// The same surface again, sphere-mapped with "flatsky", added with the colour's alpha over
// itself: the depth function becomes GL_LEQUAL (and stays so for the rest of the piece).
// Blending and sphere mapping off, colour white afterwards.
void DrawSkyReflection(float alpha);

// The shadows: for each leaf i = 1 .. n-1, its heights in WaterLeafsMoved := WaveHeight(rest
// x, rest y, w, a) + 0.08, then drawn with "leaf5shadow", blended (GL_ONE_MINUS_SRC_ALPHA,
// GL_SRC_ALPHA): where the shadow's alpha is 1 the water stays. Blending off afterwards.
void DrawLeafShadows(float w, float a);

// The leaves in their rest shape with "leaf3" in the current colour, alpha-tested at 0.5,
// each lifted by WaveHeight(centre x, centre depth, w, a) + 0.16. Alpha test off afterwards.
void DrawFloatingLeaves(float w, float a);
