// The killer stands in the yard over the dead figure, which lies on a carpet of large maple
// leaves in five grey ramps; only the camera moves.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_killme : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};
