// lum_views: the 2D overlay space (640 x 480, origin top-left, y down, one unit a pixel of
// the frame) and two small GL helpers the scenes share. Depends on GL only.
#pragma once

#include "base/gl.h"

#include <cstdint>

constexpr int OverlayWidth = 640;
constexpr int OverlayHeight = 480;

// Projection := orthographic overlay space, modelview := identity (GL_MODELVIEW selected).
// Nothing is pushed: the next 3D drawing sets its own projection with ApplyCamera. The
// viewport is not touched.
void BeginOverlay();
// Selects the projection matrix, then the modelview matrix; restores nothing.
void EndOverlay();

// Calls a display list between glPushMatrix and glPopMatrix.
void CallListIsolated(GLuint list);

// on = 1: sphere-map texture coordinates for s and t, enabled; any other value disables
// both generators.
void SetSphereMapping(uint8_t on);
