// OpenGL for the whole program: epoxy for the entry points newer than 1.1 (framebuffer
// objects), then GLU for gluPerspective, gluLookAt and gluBuild2DMipmaps.
#pragma once

#include <epoxy/gl.h>
#include <GL/glu.h>
