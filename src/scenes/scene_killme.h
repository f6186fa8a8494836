// The killme scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_killme : public lum_genericscene {};
