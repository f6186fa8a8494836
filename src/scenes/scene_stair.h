// The stair scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_stair : public lum_genericscene {};
