// The pond seen from above: a rippling surface over its muddy bottom, the sky's sheen on the
// waves, floating leaves bobbing with the water and their shadows on it. A sub-scene of meat.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_waterover : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
