// The frames scenes start from: the overlay scenes' (title, intro, outro) and the scene frame of
// every scene that flies a path (the sub-scenes, smallfall, sign, greet ...), the blurred
// backdrop, and the white fade greet and outro share.
#pragma once

#include "render/lum_camera.h"

// The opening of the overlay scenes: clear colour (0, 0, 0, 0), colour and depth cleared,
// CurrentCamera applied. Leaves GL_MODELVIEW selected.
void ClearForOverlayScene();

// The scene frame, the opening of every sub-scene and of the timeline scenes that start alike:
// clear colour (r, g, b, a), colour and depth cleared,
// `path` evaluated at `fraction` into CurrentCamera and applied, depth test on. Leaves
// GL_MODELVIEW selected with the camera's matrix; touches nothing else.
void BeginSceneFrame(float r, float g, float b, float a, const CameraPath& path, float fraction);

// The 3D picture drawn so far softened into its own blur (weight 140): blur * (1 - sharpShare)
// + frame * sharpShare, sharpShare 0 leaving only the blur. Then the depth buffer is cleared
// and CurrentCamera applied again (the blur's overlay steps replaced the matrices), so what is
// drawn next stands sharp in front of the blurred backdrop. The colour stays (1, 1, 1,
// sharpShare), the tint the blur leaves; the depth test is on.
void BlurBackdrop(float sharpShare);

// The frame kept by alpha and white for the rest (alpha 0 is pure white): the greet and
// outro scenes come out of white with it. Sets colour white and the depth test off first;
// leaves blending off, texturing on.
void DrawWhiteFade(float alpha);
