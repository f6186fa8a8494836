// The killer as a flat silhouette in the yard, and 6501 leaves flowing out of his throat
// along a curve, spreading as they go.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

class tscene_killthroat : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

constexpr int ThroatLeafCount = 6501;

// A leaf of the throat stream: its phase h (0 to 1) and how far it drifts from the curve by
// the curve's end (each component -175 to 175).
struct ThroatLeaf {
    float h;
    float offset[3];
};

// Where a leaf is at progress p: s = v * v with v = frac(p / 5 + h), the curve's eye position
// at fraction s plus s times the offset. A run takes 5 units of progress, accelerating, and
// drifts away from the curve as it goes. Evaluates the curve into nothing but `position`.
void ThroatLeafPosition(const PathSegments& throat, const ThroatLeaf& leaf, float p, float (&position)[3]);

// Leaf i of the last Load.
const ThroatLeaf& ThroatLeafAt(int i);
