// The title scene.
#pragma once

#include "timeline/lum_scenes.h"

class tscene_title : public lum_genericscene {};
