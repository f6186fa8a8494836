// The driver's own OpenGL for the few checks that need more than the piece's subset (gl/gl.h):
// feedback mode (the vertices GL is sent), pixels written straight into the frame, filled
// rectangles, a frustum, the depth buffer's bits, display-list and texture bookkeeping. They
// call the driver, so they work on the fixed renderer's compatibility context only.
#pragma once

#include "gl/gl_types.h"

#include <functional>

// Feedback layouts and the token that opens a polygon, as the driver writes them.
constexpr GLenum FeedbackThreeD = 0x0601;             // GL_3D: x, y, z
constexpr GLenum FeedbackThreeDColorTexture = 0x0603; // GL_3D_COLOR_TEXTURE: x, y, z, r, g, b, a, s, t, r, q
constexpr GLint FeedbackPolygonToken = 0x0703;        // GL_POLYGON_TOKEN

// Runs `draw` in feedback mode into `buffer` and returns how many values were written (negative
// when the buffer overflowed).
GLint FeedbackDuring(GLenum layout, GLfloat* buffer, GLsizei size, const std::function<void()>& draw);
// RGB rows, bottom first, written into the frame from its lower-left corner.
void DrawPixelsAtOrigin(GLsizei width, GLsizei height, const void* rgb);
// A rectangle filled in the current colour (glRectf).
void FillRectangle(GLfloat x0, GLfloat y0, GLfloat x1, GLfloat y1);
// The current matrix times a perspective frustum (glFrustum).
void MultiplyFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
// The depth bits of the framebuffer bound for drawing.
GLint FrameDepthBits();
bool IsDisplayList(GLuint list);
void DeleteTexture(GLuint texture);
