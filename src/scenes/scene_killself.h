// The killself figure stands sharp in front of the wholly blurred yard while a stream of
// leaves pours from the lantern beside it and falls to the ground; two cameras, one per half.
#pragma once

#include "render/gl_matrix.h"
#include "scenes/lum_scenes.h"

class tscene_killself : public lum_genericscene {
public:
    void Render(int32_t time) override;
    void Load() override;
};

// A leaf of the stream: how far it is carried along x (r, 80 to 230; it lands 3 r out) and
// its phase h (0 to 1).
struct StreamLeaf {
    float r, h;
};

// Whether the stream pours at progress p of a half: from 0.1875 on.
bool StreamPours(float p);

// The matrix of leaf j of kind k (1 to 5) of the stream at progress p of a half, as the
// per-leaf calls build it: from the lantern's mouth (-47.2, 258, 195.2) out along x to 3 r
// and down 290 on a quarter cosine, once per half, turning one way for the even kinds and the
// other way for the odd ones; scale 5.
GlMatrix StreamLeafPlacement(int k, int j, const StreamLeaf& leaf, float p);

// Leaf j of kind k (0 to 4) of the last Load.
const StreamLeaf& StreamLeafAt(int k, int j);
