// The meat montage scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meat : public lum_genericscene {};
