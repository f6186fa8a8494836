// The killfall scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_killfall : public lum_genericscene {};
