// A spiral stair against white, 2501 maple leaves falling and tumbling round it, a light
// sphere glowing above it. A sub-scene of meat.
#pragma once

#include "render/gl_matrix.h"
#include "scenes/lum_scenes.h"

class tscene_stair : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

constexpr int StairLeafCount = 2501;

// A falling leaf as Load places it: x and z in -125 .. 125, the phase of its fall in 0 .. 1.
struct StairLeaf {
    float x, z, phase;
};
// Leaf i of the last Load.
const StairLeaf& StairLeafAt(int i);
// How fast leaf i falls and turns: 1 for the first leaf, rising evenly to 4 for the last.
float StairLeafSpeed(int i);
// Leaf i's placement at progress p: the translate, scale and rotations the scene issues for it
// between glPushMatrix and glPopMatrix.
GlMatrix StairLeafPlacement(int i, float p);
