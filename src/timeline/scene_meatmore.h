// meatmore: the grass run, the pond from below, the yard under its light sphere and the cup
// from below, cut on every other beat like meat.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meatmore : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
