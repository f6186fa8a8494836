// The season scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

class tscene_season : public lum_genericscene {
public:
    void Load() override;
    void Render(int32_t time) override;
};

extern CameraPath SeasonPath;

// The world seen through the window is the colour one while the eye is at z >= 0 and the
// black-and-white one behind the window plane; the world around it is always the other.
bool SeasonWindowShowsColour(float eyeZ);
// The black fade's alpha: 0.65 * sqrt(sin(pi * p)), black at both ends of the span.
float SeasonFade(float p);
