// The killself scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_killself : public lum_genericscene {};
