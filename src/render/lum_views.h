// lum_views: the 2D overlay space (640 x 480, origin top-left, y down, one unit a pixel of
// the frame of the piece, however many pixels the picture has) and two small GL helpers the
// scenes share. Depends on GL and the picture's size.
#pragma once

#include "gl/gl.h"

#include <cstdint>

constexpr int OverlayWidth = 640;
constexpr int OverlayHeight = 480;

// Projection := orthographic overlay space, modelview := identity (GL_MODELVIEW selected).
// Nothing is pushed: the next 3D drawing sets its own projection with ApplyCamera. The
// viewport is not touched.
void BeginOverlay();
// Selects the projection matrix, then the modelview matrix; restores nothing.
void EndOverlay();

// The viewport over the whole picture (PictureSize()): the overlay space and the camera's view
// both fill it, so everything placed in overlay units lands on the same part of any picture.
void SetPictureViewport();

// Calls a display list between glPushMatrix and glPopMatrix.
void CallListIsolated(GLuint list);

// on = 1: sphere-map texture coordinates for s and t, enabled; any other value disables
// both generators.
void SetSphereMapping(uint8_t on);
