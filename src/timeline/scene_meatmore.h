// The meatmore montage scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_meatmore : public lum_genericscene {};
