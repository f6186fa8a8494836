// The waterfilled scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_waterfilled : public lum_genericscene {};
