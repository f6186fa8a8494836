// The sphere scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_sphere : public lum_genericscene {};
