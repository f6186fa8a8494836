// Mesa's libGLU itself, the reference the layer's GLU is held to.
#pragma once

#include "gl/gl_types.h"

namespace reference_glu {

void Perspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
            GLdouble upX, GLdouble upY, GLdouble upZ);
GLint Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                     const void* data);

} // namespace reference_glu
