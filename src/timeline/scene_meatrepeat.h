// The meatrepeat montage scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meatrepeat : public lum_genericscene {};
