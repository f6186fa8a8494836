// The meatkilla montage scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_meatkilla : public lum_genericscene {};
