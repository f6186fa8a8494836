// The baken scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_baken : public lum_genericscene {};
