// The waterunder scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_waterunder : public lum_genericscene {};
