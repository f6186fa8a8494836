// The steps the kill scenes share (killme, killfall, killself, killthroat; smallfall reuses
// the leaf steps): where the killer stands, the flat shadows on the yard ground, the
// alpha-tested leaves, the leaf textures by kind and the choice between two camera paths.
// Depends on the leaf batch, the camera, the global data set and GL.
#pragma once

#include "gl/gl.h"
#include "render/gl_matrix.h"
#include "render/lum_camera.h"
#include "render/leaf_batch.h"

#include <array>

// Looks up "bigshadow"; every scene that draws a shadow calls it from its Load (again is
// harmless).
void PrepareKillBlocks();

// The killer's place in the yard, multiplied onto the current modelview: at (-240, 0, -230),
// turned 210 degrees about y, lifted 8 and scaled 4, so the figure (45 units tall) stands
// 180 tall on the ground facing the dead figure.
void ApplyKillerPlacement();

// "bigshadow" on the plane mesh under `placement` (multiplied onto the current modelview
// inside a push and pop), blended (source alpha, one minus source alpha) in colour
// (1, 1, 1, alpha). Leaves blending off, the colour (1, 1, 1, alpha) and the depth mask as it
// found it.
void DrawShadow(float alpha, const GlMatrix& placement);

// The killer's shadow: laid flat under him at 61 percent, without writing depth, so the
// leaves and figures drawn later are not cut by it.
void DrawKillerShadow();

// The textures "leaf1" .. "leaf5": entry k - 1 is kind k's (0 where the library lacks it).
std::array<GLuint, 5> FindLeafTextures();

// One group of leaves added to `batch` since its Begin, drawn with `texture`: alpha testing
// on (greater than 0.5, which cuts each leaf's outline from its square) for the draw, off
// again afterwards, as around the per-leaf calls the batch replaces. The current colour is
// the last leaf's afterwards. NearestFirst sends them with LeafBatch::DrawNearestFirst: only
// for leaves of which no two lie in one plane (a carpet of leaves on the ground would show
// other leaves on top where they overlap).
enum class LeafOrder { AsAdded, NearestFirst };
void DrawAlphaTestedLeaves(LeafBatch& batch, GLuint texture, LeafOrder order = LeafOrder::AsAdded);

// The tumble of killself's and killthroat's leaves, multiplied onto `leaf`:
// (1.17 p m + h) * 2520 degrees about (0.7259231 m, 1, 0.52389467) when `even`, the opposite
// angle about (0.7259231, 1, 0.52389467 m) otherwise, so the two parities turn opposite ways
// and m (which grows along the leaves) tilts the axis.
void TumbleLeaf(GlMatrix& leaf, bool even, float p, float m, float h);

// The progress the second half of a two-path scene replays: p before 0.5, p - 0.5 from 0.5 on.
float HalfProgress(float p);

// The two-path choice of killfall and killself: while p < 0.5 the first path is flown at
// firstFactor * p, from 0.5 on the second at secondFactor * (p - 0.5), so the second half
// replays the first from another camera. Evaluates into CurrentCamera and applies it; returns
// HalfProgress(p), the p the rest of the frame (figure and leaves alike) uses.
float FlyOneOfTwoPaths(float p, const CameraPath& first, float firstFactor, const CameraPath& second,
                       float secondFactor);
