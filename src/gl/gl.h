// OpenGL for the whole program: exactly the subset of GL 1.1 (with the few newer calls for
// framebuffers, buffer objects and samplers) and of GLU that the piece draws with. Each call
// goes through GlDispatch to the renderer chosen at start-up (gl/renderer.h): the driver's own
// fixed-function pipeline, or the layer of our own that draws the same on shaders, where no
// fixed-function pipeline exists (OpenGL ES, WebGL, core profiles). Nothing above this layer
// includes a GL header of its own, so a call outside the subset does not compile.
#pragma once

#include "gl/gl_entry_points.h"
#include "gl/gl_enums.h"

// The calls, each through the renderer's table.
#define LANTERN_GL_CALL(kind, result, name, parameters, arguments) \
    inline result gl##name parameters { return GlDispatch.name arguments; }
LANTERN_GL_ENTRY_POINTS(LANTERN_GL_CALL)
#undef LANTERN_GL_CALL

// GLU: the projection, the view and the mipmap builder, made here on the calls above with
// the results Mesa's libGLU gives (gl/glu.cpp).
#define GLU_INVALID_ENUM 100900
#define GLU_INVALID_VALUE 100901
#define GLU_OUT_OF_MEMORY 100902

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ);
// GL_RGB or GL_RGBA bytes, any size: the image (scaled to powers of two first when it is not)
// and every halving down to 1 x 1, each level the means of 2 x 2 blocks of the one before.
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data);
const GLubyte* gluErrorString(GLenum error);
