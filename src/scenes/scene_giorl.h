// The giorl scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

#include <string_view>

class tscene_giorl : public lum_genericscene {
public:
    void Load() override;
    void Render(int32_t time) override;
};

extern CameraPath GiorlPath;

constexpr int GiorlLeafCount = 11001;

// The swing of the first two meshes, degrees about the bar: 45 sin(16 pi p), eight full
// swings over the span.
float GiorlSwingDegrees(float p);
// Only the mesh whose filtered name is exactly "tree" is cut out by its alpha.
bool GiorlMeshIsAlphaTested(std::string_view filteredName);
// Height of leaf i with `phase` at progress p: from 40 down to 5, k = 1 + 3 i / 11000 times
// per six spans, then back to the top.
float GiorlLeafHeight(float p, int i, float phase);
// The black fade's alpha: 0.99 * sqrt(sin(pi * p)).
float GiorlFade(float p);

// A leaf of the snow: where it falls (x and z, -40 to 40) and its phase (0 to 1).
struct SnowLeaf {
    float x, z, phase;
};
// Leaf i of the last Load.
const SnowLeaf& GiorlLeafAt(int i);
