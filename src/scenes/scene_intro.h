// The intro: the two title lines fading in and out while their letters drift apart. It
// plays only inside the meat montage.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_intro : public lum_genericscene {
public:
    void Render(int32_t time) override;
    // Looks up its textures; nothing else to load.
    void Load() override;
};
