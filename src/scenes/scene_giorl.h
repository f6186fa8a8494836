// The giorl scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_giorl : public lum_genericscene {};
