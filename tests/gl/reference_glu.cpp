// Mesa's libGLU, linked into this test program only.
#include "reference_glu.h"

#include <epoxy/gl.h>

#include <GL/glu.h>

namespace reference_glu {

void Perspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    gluPerspective(fovy, aspect, zNear, zFar);
}

void LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
            GLdouble upX, GLdouble upY, GLdouble upZ)
{
    gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

GLint Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                     const void* data)
{
    return gluBuild2DMipmaps(target, internalFormat, width, height, format, type, data);
}

} // namespace reference_glu
