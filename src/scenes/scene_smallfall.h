// The smallfall scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_smallfall : public lum_genericscene {};
