// The greet scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_greet : public lum_genericscene {};
