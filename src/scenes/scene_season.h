// The season scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_season : public lum_genericscene {};
