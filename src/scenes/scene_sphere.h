// A sphere wrapped in the font atlas inside a light sphere, 7505 leaves streaming out of it
// and darkening as they go, the word "closer", the picture pulsing from black eight times over
// the span. Slot 1 of the timeline, and sub-scenes 1 and 3 of meatrepeat: the three objects
// share the tables and light sphere of the last Load.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_sphere : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// A streaming leaf: where it is in its run from the centre (phase), and the end of its run.
struct SphereLeaf {
    float phase;
    float ox, oy, oz;
};
// Leaf j of kind k (0 to 4) of the last Load.
const SphereLeaf& SphereLeafAt(int k, int j);

// The pulse of the sphere at progress p0.
struct SpherePulse {
    float e;              // how far into the current eighth of the span: frac(8 p0)
    float pulsedTime;     // P = p0 - sin(2 pi e) / 60: a little slow early in each eighth
    float cameraFraction; // frac(0.8 P + e / 45)
    float fadeAlpha;      // |sin(pi sqrt(frac(8 P)))|: black at the start of each eighth
    float glowTint;       // 0.75 sqrt(e): the share of the sharp picture the glow keeps
};
SpherePulse SpherePulseAt(float p0);
