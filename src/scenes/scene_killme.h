// The killer stands in the yard over the dead figure, which lies on a carpet of large maple
// leaves in five grey ramps; only the camera moves.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_killme : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// A carpet leaf: its turn about the dead figure, its distance (drawn at half) and its own spin.
struct CarpetLeaf {
    float a, c, f;
};
// Leaf j of kind k (0 to 4) of the last Load.
const CarpetLeaf& CarpetLeafAt(int k, int j);
