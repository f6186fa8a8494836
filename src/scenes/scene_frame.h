// The frames scenes start from: the overlay scenes' (title, intro, outro) and the sub-scenes'
// (water, cup, stair, sphere, kill and sub scenes), and the white fade greet and outro share.
#pragma once

#include "render/lum_camera.h"

// The opening of the overlay scenes: clear colour (0, 0, 0, 0), colour and depth cleared,
// CurrentCamera applied. Leaves GL_MODELVIEW selected.
void ClearForOverlayScene();

// The opening of every sub-scene: clear colour (r, g, b, a), colour and depth cleared,
// `path` evaluated at `fraction` into CurrentCamera and applied, depth test on. Leaves
// GL_MODELVIEW selected with the camera's matrix; touches nothing else.
void BeginSubSceneFrame(float r, float g, float b, float a, const CameraPath& path, float fraction);

// The frame kept by alpha and white for the rest (alpha 0 is pure white): the greet and
// outro scenes come out of white with it. Sets colour white and the depth test off first;
// leaves blending off, texturing on.
void DrawWhiteFade(float alpha);
