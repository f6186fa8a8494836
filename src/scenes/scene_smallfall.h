// Ten thousand leaves of five kinds shake loose from the yard's poplar and fall through the
// picture while the camera climbs in eight surges and "READY TO RUST?" grows at the centre.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_smallfall : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// The scene's progress p0 wobbled into eight surges: p0 - sin(2 pi frac(8 p0)) / 60. It still
// rises from 0 toward 1 (its slope stays between 0.162 and 1.838).
float WobbledProgress(float p0);

// A leaf's place and turn at position u (0 to 1) of its fall cycle, before it is hung at its
// height and depth: shaking loose up to u = 0.2 (twisting, moving 10 toward the viewer), then
// falling 2300 with constant acceleration, spreading to 3.5 times its sideways offset s,
// drifting in depth by c and tumbling. Angles in degrees; the two phases join without a jump.
struct SmallfallLeafPose {
    float x, y, z, pitch, yaw;
};
SmallfallLeafPose SmallfallLeafAt(int j, float s, float c, float u);

// A hanging leaf: its sideways offset (-110 to 110), the phase of its fall cycle (0 to 1)
// and its drift in depth (-752.5 to 752.5).
struct HangingLeaf {
    float spread, phase, drift;
};
// Leaf j of kind k (0 to 4) of the last Load.
const HangingLeaf& SmallfallLeafOfLoad(int k, int j);
