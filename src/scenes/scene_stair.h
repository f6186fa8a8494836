// The stair scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_stair : public lum_genericscene {};
