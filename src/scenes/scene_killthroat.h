// The killthroat scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_killthroat : public lum_genericscene {};
