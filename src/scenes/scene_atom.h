// The atom scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

struct LandscapeField;

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

// A shake of the eye, and an ember: its phase and where it stands (x, z).
struct ShakeOffset {
    float dx, dy, dz;
};
struct RisingLeaf {
    float phase, x, z;
};
// Entry i of the last Load's tables, and the field it placed after them.
const ShakeOffset& AtomShakeAt(int i);
const RisingLeaf& AtomLeafAt(int i);
const LandscapeField& AtomField();
