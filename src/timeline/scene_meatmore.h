// The meatmore montage scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meatmore : public lum_genericscene {};
