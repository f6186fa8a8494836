// The waterover scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_waterover : public lum_genericscene {};
