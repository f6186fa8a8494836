// The GL entry points the piece calls, once each: the whole of its OpenGL, and nothing more.
// One list makes the table both renderers fill (the driver's own entry points, or the
// fixed-function layer on shaders), the inline functions of gl/gl.h that call through it, and
// the layer's declarations, so none of them can name a call the others lack.
//
// Each entry: X(kind, result, name without "gl", (parameters), (arguments)), the kind saying
// what the call is to the layer on shaders:
//   Driver   the driver's own in both renderers (framebuffers, buffers, blending, depth ...)
//   State    fixed-function state, which the layer keeps itself
//   Tracked  the driver's, through the layer, which keeps books of it (level sizes, filters)
//            or puts the application's binding back in place of its own first
//   Draw     drawing and display lists (recorded by the layer while one is compiled)
//   Query    reading state back
#pragma once

#include "gl/gl_types.h"

#define LANTERN_GL_ENTRY_POINTS(X)                                                                                     \
    /* Immediate mode and the current vertex attributes */                                                             \
    X(Draw, void, Begin, (GLenum mode), (mode))                                                                        \
    X(Draw, void, End, (), ())                                                                                         \
    X(Draw, void, Vertex2f, (GLfloat x, GLfloat y), (x, y))                                                            \
    X(Draw, void, Vertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                              \
    X(State, void, Color4f, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha))      \
    X(State, void, Color4fv, (const GLfloat* v), (v))                                                                  \
    X(State, void, TexCoord2f, (GLfloat s, GLfloat t), (s, t))                                                         \
    X(State, void, TexCoord2fv, (const GLfloat* v), (v))                                                               \
    X(State, void, MultiTexCoord2f, (GLenum target, GLfloat s, GLfloat t), (target, s, t))                             \
    X(State, void, Normal3f, (GLfloat nx, GLfloat ny, GLfloat nz), (nx, ny, nz))                                       \
    /* Vertex arrays */                                                                                                \
    X(State, void, EnableClientState, (GLenum array), (array))                                                         \
    X(State, void, DisableClientState, (GLenum array), (array))                                                        \
    X(State, void, VertexPointer, (GLint size, GLenum type, GLsizei stride, const void* pointer),                      \
      (size, type, stride, pointer))                                                                                   \
    X(State, void, TexCoordPointer, (GLint size, GLenum type, GLsizei stride, const void* pointer),                    \
      (size, type, stride, pointer))                                                                                   \
    X(State, void, ColorPointer, (GLint size, GLenum type, GLsizei stride, const void* pointer),                       \
      (size, type, stride, pointer))                                                                                   \
    X(State, void, NormalPointer, (GLenum type, GLsizei stride, const void* pointer), (type, stride, pointer))         \
    X(Draw, void, DrawRangeElements,                                                                                   \
      (GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const void* indices),                        \
      (mode, start, end, count, type, indices))                                                                        \
    /* Buffer objects */                                                                                               \
    X(Driver, void, GenBuffers, (GLsizei n, GLuint * buffers), (n, buffers))                                           \
    X(State, void, BindBuffer, (GLenum target, GLuint buffer), (target, buffer))                                       \
    X(Tracked, void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage),                     \
      (target, size, data, usage))                                                                                     \
    X(Tracked, void, BufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data),               \
      (target, offset, size, data))                                                                                    \
    /* Display lists */                                                                                                \
    X(Draw, GLuint, GenLists, (GLsizei range), (range))                                                                \
    X(State, void, NewList, (GLuint list, GLenum mode), (list, mode))                                                  \
    X(State, void, EndList, (), ())                                                                                    \
    X(Draw, void, CallList, (GLuint list), (list))                                                                     \
    /* Matrix stacks */                                                                                                \
    X(State, void, MatrixMode, (GLenum mode), (mode))                                                                  \
    X(State, void, LoadIdentity, (), ())                                                                               \
    X(State, void, PushMatrix, (), ())                                                                                 \
    X(State, void, PopMatrix, (), ())                                                                                  \
    X(State, void, MultMatrixf, (const GLfloat* m), (m))                                                               \
    X(State, void, Translatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                           \
    X(State, void, Rotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z))                        \
    X(State, void, Scalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                               \
    X(State, void, Ortho,                                                                                              \
      (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar),                   \
      (left, right, bottom, top, zNear, zFar))                                                                         \
    X(Driver, void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))                \
    /* Capabilities, fragment tests and blending */                                                                    \
    X(State, void, Enable, (GLenum cap), (cap))                                                                        \
    X(State, void, Disable, (GLenum cap), (cap))                                                                       \
    X(Query, GLboolean, IsEnabled, (GLenum cap), (cap))                                                                \
    X(State, void, AlphaFunc, (GLenum func, GLfloat ref), (func, ref))                                                 \
    X(Driver, void, DepthFunc, (GLenum func), (func))                                                                  \
    X(Driver, void, DepthMask, (GLboolean flag), (flag))                                                               \
    X(Driver, void, BlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))                                   \
    X(Driver, void, BlendColor, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha))  \
    X(Driver, void, Scissor, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))                 \
    X(State, void, ShadeModel, (GLenum mode), (mode))                                                                  \
    X(State, void, Hint, (GLenum target, GLenum mode), (target, mode))                                                 \
    /* Fog */                                                                                                          \
    X(State, void, Fogf, (GLenum pname, GLfloat param), (pname, param))                                                \
    X(State, void, Fogi, (GLenum pname, GLint param), (pname, param))                                                  \
    X(State, void, Fogfv, (GLenum pname, const GLfloat* params), (pname, params))                                      \
    /* Texture units, environments and coordinate generation */                                                        \
    X(State, void, ActiveTexture, (GLenum texture), (texture))                                                         \
    X(State, void, TexEnvi, (GLenum target, GLenum pname, GLint param), (target, pname, param))                        \
    X(State, void, TexEnvf, (GLenum target, GLenum pname, GLfloat param), (target, pname, param))                      \
    X(State, void, TexEnvfv, (GLenum target, GLenum pname, const GLfloat* params), (target, pname, params))            \
    X(State, void, TexGenf, (GLenum coord, GLenum pname, GLfloat param), (coord, pname, param))                        \
    /* Textures and samplers */                                                                                        \
    X(Driver, void, GenTextures, (GLsizei n, GLuint * textures), (n, textures))                                        \
    X(Tracked, void, BindTexture, (GLenum target, GLuint texture), (target, texture))                                  \
    X(Tracked, void, TexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param))                \
    X(Driver, void, GetTexParameteriv, (GLenum target, GLenum pname, GLint * params), (target, pname, params))         \
    X(Tracked, void, TexImage2D,                                                                                       \
      (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,                  \
       GLenum format, GLenum type, const void* pixels),                                                                \
      (target, level, internalformat, width, height, border, format, type, pixels))                                    \
    X(Driver, void, TexSubImage2D,                                                                                     \
      (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height, GLenum format,         \
       GLenum type, const void* pixels),                                                                               \
      (target, level, xoffset, yoffset, width, height, format, type, pixels))                                          \
    X(Driver, void, CopyTexSubImage2D,                                                                                 \
      (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width, GLsizei height),     \
      (target, level, xoffset, yoffset, x, y, width, height))                                                          \
    X(Query, void, GetTexImage, (GLenum target, GLint level, GLenum format, GLenum type, void* pixels),                \
      (target, level, format, type, pixels))                                                                           \
    X(Query, void, GetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint * params),                 \
      (target, level, pname, params))                                                                                  \
    X(State, void, PixelStorei, (GLenum pname, GLint param), (pname, param))                                           \
    X(Driver, void, GenSamplers, (GLsizei count, GLuint * samplers), (count, samplers))                                \
    X(Tracked, void, BindSampler, (GLuint unit, GLuint sampler), (unit, sampler))                                      \
    X(Tracked, void, SamplerParameteri, (GLuint sampler, GLenum pname, GLint param), (sampler, pname, param))          \
    /* Framebuffers and renderbuffers */                                                                               \
    X(Driver, void, GenFramebuffers, (GLsizei n, GLuint * framebuffers), (n, framebuffers))                            \
    X(Driver, void, DeleteFramebuffers, (GLsizei n, const GLuint* framebuffers), (n, framebuffers))                    \
    X(Driver, void, BindFramebuffer, (GLenum target, GLuint framebuffer), (target, framebuffer))                       \
    X(Driver, void, FramebufferTexture2D,                                                                              \
      (GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level),                               \
      (target, attachment, textarget, texture, level))                                                                 \
    X(Driver, void, FramebufferRenderbuffer,                                                                           \
      (GLenum target, GLenum attachment, GLenum renderbuffertarget, GLuint renderbuffer),                              \
      (target, attachment, renderbuffertarget, renderbuffer))                                                          \
    X(Driver, GLenum, CheckFramebufferStatus, (GLenum target), (target))                                               \
    X(Driver, void, GenRenderbuffers, (GLsizei n, GLuint * renderbuffers), (n, renderbuffers))                         \
    X(Driver, void, DeleteRenderbuffers, (GLsizei n, const GLuint* renderbuffers), (n, renderbuffers))                 \
    X(Driver, void, BindRenderbuffer, (GLenum target, GLuint renderbuffer), (target, renderbuffer))                    \
    X(Driver, void, RenderbufferStorage, (GLenum target, GLenum internalformat, GLsizei width, GLsizei height),        \
      (target, internalformat, width, height))                                                                         \
    X(Driver, void, BlitFramebuffer,                                                                                   \
      (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1, GLint dstY1,         \
       GLbitfield mask, GLenum filter),                                                                                \
      (srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter))                                          \
    /* Clearing, reading back and finishing */                                                                         \
    X(Driver, void, ClearColor, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha))  \
    X(Driver, void, Clear, (GLbitfield mask), (mask))                                                                  \
    X(Query, void, ReadPixels,                                                                                         \
      (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels),                     \
      (x, y, width, height, format, type, pixels))                                                                     \
    X(Driver, void, Flush, (), ())                                                                                     \
    X(Driver, void, Finish, (), ())                                                                                    \
    /* State queries */                                                                                                \
    X(Query, GLenum, GetError, (), ())                                                                                 \
    X(Query, void, GetIntegerv, (GLenum pname, GLint * data), (pname, data))                                           \
    X(Query, void, GetFloatv, (GLenum pname, GLfloat * data), (pname, data))                                           \
    X(Driver, const GLubyte*, GetString, (GLenum name), (name))

// The table of entry points a renderer fills; the calls of gl/gl.h go through GlDispatch.
struct GlEntryPoints {
#define LANTERN_GL_ENTRY_POINT_MEMBER(kind, result, name, parameters, arguments) result(*name) parameters;
    LANTERN_GL_ENTRY_POINTS(LANTERN_GL_ENTRY_POINT_MEMBER)
#undef LANTERN_GL_ENTRY_POINT_MEMBER
};

extern GlEntryPoints GlDispatch;
