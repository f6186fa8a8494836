// The baken scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_baken : public lum_genericscene {};
