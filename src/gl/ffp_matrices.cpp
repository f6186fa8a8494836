// The matrix stacks of the layer on shaders: GL_MODELVIEW and GL_PROJECTION, 32 deep as Mesa
// keeps them, changed with the driver's arithmetic (matrix_math).
#include "gl/ffp.h"
#include "gl/matrix_math.h"

#include <cstring>

namespace ffp {

namespace {

// The stack glMatrixMode chose.
MatrixStack& CurrentStack()
{
    return State.matrixMode == GL_PROJECTION ? State.projection : State.modelview;
}

// The top of the current stack, about to change.
float* CurrentMatrix()
{
    ++State.matrixVersion;
    return CurrentStack().Top().m;
}

} // namespace

void MatrixMode(GLenum mode)
{
    if (CompilingRefuses()) return;
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) return SetError(GL_INVALID_ENUM);
    State.matrixMode = mode;
}

void LoadIdentity()
{
    if (CompilingRefuses()) return;
    std::memcpy(CurrentMatrix(), Matrix{}.m, sizeof(Matrix::m));
}

void PushMatrix()
{
    if (CompilingRefuses()) return;
    MatrixStack& stack = CurrentStack();
    if (stack.depth + 1 >= MatrixStackDepth) return SetError(GL_STACK_OVERFLOW);
    stack.levels[stack.depth + 1] = stack.Top();
    ++stack.depth;
}

void PopMatrix()
{
    if (CompilingRefuses()) return;
    MatrixStack& stack = CurrentStack();
    if (stack.depth == 0) return SetError(GL_STACK_UNDERFLOW);
    --stack.depth;
    ++State.matrixVersion;
}

void MultMatrixf(const GLfloat* m)
{
    if (Recording()) return RecordMultMatrix(m);
    // The driver skips the identity, and so nothing of the matrix changes, not even a sign of
    // zero.
    if (std::memcmp(m, Matrix{}.m, sizeof(Matrix::m)) == 0) return;
    matrix_math::Multiply(CurrentMatrix(), CurrentStack().Top().m, m);
}

void Translatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (CompilingRefuses()) return;
    matrix_math::Translate(CurrentMatrix(), x, y, z);
}

void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (CompilingRefuses()) return;
    if (angle != 0.0f) matrix_math::Rotate(CurrentMatrix(), angle, x, y, z);
}

void Scalef(GLfloat x, GLfloat y, GLfloat z)
{
    if (CompilingRefuses()) return;
    matrix_math::Scale(CurrentMatrix(), x, y, z);
}

void Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    if (CompilingRefuses()) return;
    // The box arrives in double and is used in float, as the driver takes it.
    const float l = static_cast<float>(left), r = static_cast<float>(right), b = static_cast<float>(bottom),
                t = static_cast<float>(top), n = static_cast<float>(zNear), f = static_cast<float>(zFar);
    if (l == r || b == t || n == f) return SetError(GL_INVALID_VALUE);
    matrix_math::Ortho(CurrentMatrix(), l, r, b, t, n, f);
}

} // namespace ffp
