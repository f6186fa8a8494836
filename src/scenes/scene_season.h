// The season scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

struct LandscapeField;

class tscene_season : public lum_genericscene {
public:
    void Load() override;
    void Render(int32_t time) override;
    // Looks up the textures (Load's last step, no random draws) and finds whether the world
    // seen through the window may be drawn only there: when the two looks cut their grass and
    // trees out alike, the world around covers every other pixel it could reach.
    void PrepareDrawing();
    // The frame with the world behind the window drawn over the whole picture: what Render
    // must equal.
    void RenderWithTheFirstWorldWhole(int32_t time);

private:
    enum class FirstWorld { BehindTheWindow, Whole };
    void DrawFrame(int32_t time, FirstWorld firstWorld);
};

extern CameraPath SeasonPath;

// The world seen through the window is the colour one while the eye is at z >= 0 and the
// black-and-white one behind the window plane; the world around it is always the other.
bool SeasonWindowShowsColour(float eyeZ);
// The black fade's alpha: 0.65 * sqrt(sin(pi * p)), black at both ends of the span.
float SeasonFade(float p);

// The field of the last Load.
const LandscapeField& SeasonField();
