// The meatkilla montage scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_meatkilla : public lum_genericscene {};
