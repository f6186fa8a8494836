// The subbaken scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_subbaken : public lum_genericscene {};
