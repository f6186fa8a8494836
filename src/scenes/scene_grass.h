// The grass scene.
#pragma once

#include "render/lum_camera.h"
#include "scenes/lum_scenes.h"

class tscene_grass : public lum_genericscene {
public:
    void Load() override;
    void Render(int32_t time) override;
};

extern CameraPath GrassPath;
