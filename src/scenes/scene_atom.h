// The atom scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_atom : public lum_genericscene {};
