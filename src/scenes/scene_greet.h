// The greetings: a black grass field under a dimming grey sky, the camera drifting toward
// a lying figure, one greeting line each sixteenth of the span, out of white at first.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

struct LandscapeField;

#include <string_view>

class tscene_greet : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

constexpr int GreetingCount = 16;

// The greeting shown at progress p: each line owns a sixteenth of the span, grows and
// spreads through it while it fades in and out.
struct GreetLine {
    std::string_view text;
    float size;    // glyph width and height
    float advance;
    float alpha;
};
GreetLine GreetLineAt(float p);

// Lines 0 and 15 are empty; lines 1 to 14 are the greetings, shown in order.
extern const std::string_view Greetings[GreetingCount];
extern CameraPath GreetPath;

// The field of the last Load (its tufts; greet has no trees).
const LandscapeField& GreetField();
