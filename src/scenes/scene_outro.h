// The outro scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_outro : public lum_genericscene {};
