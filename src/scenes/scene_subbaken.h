// The beacon under its sky dome on blue, seen along a slow orbit. A sub-scene of meatrepeat.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_subbaken : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
