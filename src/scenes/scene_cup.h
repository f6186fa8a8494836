// The cup scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_cup : public lum_genericscene {};
