// The subself scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_subself : public lum_genericscene {};
