// The yard seen through a blur that clears in the middle of the span and returns at its end,
// the enamel sign on its far wall drawn sharp in front of it, all fading to black.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_sign : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// The share of the sharp backdrop that the blur keeps at progress p: sin(pi p) squared, 0 at
// both ends (wholly blurred), 1 in the middle (sharp).
float SignBackdropSharpness(float p);
// The share of the picture kept by the fade to black: cos(pi p / 2), from 1 down to 0.
float SignFadeAlpha(float p);
