// The cuptwo scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_cuptwo : public lum_genericscene {};
