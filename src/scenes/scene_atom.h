// The atom scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_atom : public lum_genericscene {};
