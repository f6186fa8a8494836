// The cup scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_cup : public lum_genericscene {};
