// The title: the title picture between the letterbox bars, slowly zooming out, rising from
// black and sinking back into it over the span.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_title : public lum_genericscene {
public:
    void Render(int32_t time) override;
    // Looks up its textures; nothing else to load.
    void Load() override;
};
