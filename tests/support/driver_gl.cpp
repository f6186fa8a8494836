// The driver's own OpenGL, beyond the piece's subset, for tests.
#include "support/driver_gl.h"

#include <epoxy/gl.h>

GLint FeedbackDuring(GLenum layout, GLfloat* buffer, GLsizei size, const std::function<void()>& draw)
{
    glFeedbackBuffer(size, layout, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    return glRenderMode(GL_RENDER);
}

void DrawPixelsAtOrigin(GLsizei width, GLsizei height, const void* rgb)
{
    glWindowPos2i(0, 0);
    glDrawPixels(width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

void FillRectangle(GLfloat x0, GLfloat y0, GLfloat x1, GLfloat y1)
{
    glRectf(x0, y0, x1, y1);
}

void MultiplyFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    glFrustum(left, right, bottom, top, zNear, zFar);
}

GLint FrameDepthBits()
{
    GLint bits = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &bits);
    return bits;
}

bool IsDisplayList(GLuint list)
{
    return glIsList(list) == GL_TRUE;
}

void DeleteTexture(GLuint texture)
{
    glDeleteTextures(1, &texture);
}
