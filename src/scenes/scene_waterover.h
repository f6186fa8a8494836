// The waterover scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_waterover : public lum_genericscene {};
