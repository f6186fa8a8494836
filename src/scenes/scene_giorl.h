// The giorl scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_giorl : public lum_genericscene {};
