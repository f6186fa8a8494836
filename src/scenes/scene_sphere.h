// The sphere scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_sphere : public lum_genericscene {};
