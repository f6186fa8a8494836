// The sign scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_sign : public lum_genericscene {};
