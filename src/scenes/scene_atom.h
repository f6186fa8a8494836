// The atom scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

class tscene_atom : public lum_genericscene {
public:
    void Load() override;
    void Render(int32_t time) override;
};

extern CameraPath AtomPath;

constexpr int AtomShakeCount = 1000;
constexpr int AtomLeafCount = 3501;

// The shake offset a frame at progress p uses: trunc(1000 p), 999 just below the end.
int AtomShakeIndex(float p);

// A leaf's turn: angle in degrees about (x, y, z).
struct AtomLeafTurn {
    float angle, x, y, z;
};
// Leaf i with `phase` at progress p. The angle grows with k = 1 + 2.12 i / 3500; even leaves
// turn about (0.7259231 k, 1, 0.52389467), odd ones the other way about (0.7259231, 1,
// 0.52389467 (1 + 2.12 i / 4500)).
AtomLeafTurn AtomLeafTurnOf(float p, int i, float phase);
