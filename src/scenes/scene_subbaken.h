// The subbaken scene.
#pragma once

#include "scenes/lum_scenes.h"

class tscene_subbaken : public lum_genericscene {};
