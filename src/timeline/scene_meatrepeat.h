// The meatrepeat montage scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_meatrepeat : public lum_genericscene {};
