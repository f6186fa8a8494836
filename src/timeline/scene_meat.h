// The meat montage scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_meat : public lum_genericscene {};
