// The waterunder scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_waterunder : public lum_genericscene {};
