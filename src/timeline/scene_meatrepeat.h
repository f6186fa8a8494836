// meatrepeat: the killself figure in the yard, the sphere, the beacon on blue and the sphere
// again, cut on every beat, all running on the montage's own progress.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meatrepeat : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
