// meat: the pond from above, the stair on white, the cup over the yard and the title lines,
// cut on every other beat, each shown four times for the next quarter of its own span.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meat : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
