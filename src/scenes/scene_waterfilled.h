// The yard, softened by a blur, under a large glowing light sphere. A sub-scene of meatmore.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_waterfilled : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
