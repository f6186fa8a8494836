// The waterfilled scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_waterfilled : public lum_genericscene {};
