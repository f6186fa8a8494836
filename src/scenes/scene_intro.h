// The intro scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_intro : public lum_genericscene {};
