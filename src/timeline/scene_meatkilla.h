// meatkilla: the four kill scenes, cut on every other beat over twice the usual span, each
// shown eight times, with a sharper pulse.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meatkilla : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
