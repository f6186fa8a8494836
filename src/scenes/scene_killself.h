// The killself scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_killself : public lum_genericscene {};
