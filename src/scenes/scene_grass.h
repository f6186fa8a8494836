// The grass scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_grass : public lum_genericscene {};
