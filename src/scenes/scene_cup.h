// The enamel cup on its saucer floating 19 metres up in the yard, circled from above. A
// sub-scene of meat. cuptwo (meatmore) is the same scene along another path; both draw with
// the steps below.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

class tscene_cup : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// From Load: the textures of the yard and the cup (no random draws).
void PrepareCupSet();
// One frame of the cup scenes: the scene frame (black) with `path` at `fraction`, the yard
// setting, the cup set at (0, 1900, -400). Draws with the current colour; leaves the depth
// test on and blending as it found it.
void DrawCupSet(const CameraPath& path, float fraction);
