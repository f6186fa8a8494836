// The sign scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_sign : public lum_genericscene {};
