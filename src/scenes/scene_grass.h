// The grass scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_grass : public lum_genericscene {};
