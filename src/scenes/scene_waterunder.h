// The pond seen from below: dark leaf silhouettes against the sky through the rippling,
// glowing surface. A sub-scene of meatmore.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_waterunder : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
