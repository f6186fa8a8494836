// The killme scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_killme : public lum_genericscene {};
