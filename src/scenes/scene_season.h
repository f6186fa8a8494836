// The season scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_season : public lum_genericscene {};
