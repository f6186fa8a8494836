// The lamp-post figure standing in the yard, seen along its own flight. A sub-scene of meatrepeat.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_subself : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
