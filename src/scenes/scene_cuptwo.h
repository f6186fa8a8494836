// The cup scene along a second path, circling the cup from below. A sub-scene of meatmore.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_cuptwo : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
