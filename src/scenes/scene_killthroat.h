// The killthroat scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_killthroat : public lum_genericscene {};
