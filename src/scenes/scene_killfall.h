// The killfall scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_killfall : public lum_genericscene {};
