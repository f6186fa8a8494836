// The subself scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_subself : public lum_genericscene {};
