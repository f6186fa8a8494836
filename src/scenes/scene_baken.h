// The baken scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

struct LandscapeField;

class tscene_baken : public lum_genericscene {
public:
    void Load() override;
    void Render(int32_t time) override;
};

extern CameraPath BakenPath;

constexpr int BakenLeafCount = 2501;

// Where falling leaf i with `phase` is in its cycle at progress p:
// 2p(1 + i/2500) + phase - 2.4. Below 0 the leaf has not joined yet and is not drawn; the
// fraction of it is how far the leaf has fallen from the top.
float BakenLeafCycle(float p, int i, float phase);
// The black fade's alpha: 0.71 * sin(pi * p).
float BakenFade(float p);

// Where a leaf lands (x, z) and its place in the cycle.
struct FallingLeaf {
    float x, z, phase;
};
// Leaf i of the last Load, and the field it placed after the leaves.
const FallingLeaf& BakenLeafAt(int i);
const LandscapeField& BakenField();
