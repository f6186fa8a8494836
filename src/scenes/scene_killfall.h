// The dead figure falls from the sky into the yard, lands spinning and bursts a carpet of
// leaves out in high arcs; the fall is shown twice, once per half, from two cameras.
#pragma once

#include "render/gl_matrix.h"
#include "scenes/lum_scenes.h"

class tscene_killfall : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// The dead figure's height at progress p of a half: from 4000 at p = 0 straight down to the
// yard ground (0, where killme lays the same figure) at p = 0.0625, where it lies from then on.
float FallHeight(float p);

// A leaf of the burst: its direction a (degrees), arc height b, landing distance c, landing
// time d (progress after the impact), tumble e (degrees) and spin f (degrees).
struct BurstLeaf {
    float a, b, c, d, e, f;
};

// Where a burst leaf is s units of progress after the impact (s >= 0): it leaves the impact
// point along a, rises to b and comes down 10 above the ground at distance c once s reaches d,
// its tumble about (1, 0.834562, 0.37568274) unwinding from e degrees to none at landing. The
// leaf's matrix under the camera, as the per-leaf calls build it, scale 50 included.
GlMatrix BurstLeafPlacement(const BurstLeaf& leaf, float s);

// Leaf j of kind k (0 to 4) of the last Load.
const BurstLeaf& BurstLeafAt(int k, int j);
