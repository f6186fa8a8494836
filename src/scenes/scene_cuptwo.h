// The cuptwo scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_cuptwo : public lum_genericscene {};
