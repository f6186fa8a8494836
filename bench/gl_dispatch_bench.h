// The cost of the renderer's table on the fixed path: the same driver calls made straight and
// through gl/gl.h, in files of their own (a file cannot include both).
#pragma once

// count glColor4f calls, the cheapest of the driver's entry points.
void SetColoursDirect(int count);
void SetColoursThroughTheTable(int count);
