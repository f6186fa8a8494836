// The fixed renderer's table: the driver's own entry points.
#pragma once

#include "gl/gl_entry_points.h"

extern const GlEntryPoints FixedEntryPoints;
