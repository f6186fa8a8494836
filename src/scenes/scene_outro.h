// The credits: the texts come out of white, give way to their own blur and fade; once 80 %
// of the span has passed the outro ends the run.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_outro : public lum_genericscene {
public:
    void Render(int32_t time) override;
    // Looks up its textures; nothing else to load.
    void Load() override;
    // The frame at this progress ends the run: once 80 % of the span has passed. Offline
    // captures find the piece's last frame with it.
    static bool EndsPieceAt(float progress) { return progress > 0.8f; }
};
