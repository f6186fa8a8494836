// The smallfall scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_smallfall : public lum_genericscene {};
