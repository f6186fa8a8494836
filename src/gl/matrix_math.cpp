// Matrix arithmetic in the driver's order and precision.
#include "gl/matrix_math.h"

#include <cmath>
#include <cstring>

namespace matrix_math {

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Element (row, column) of a matrix in column order.
constexpr int At(int row, int column)
{
    return column * 4 + row;
}

} // namespace

void Multiply(float product[16], const float a[16], const float b[16])
{
    for (int i = 0; i < 4; ++i) {
        const float ai0 = a[At(i, 0)], ai1 = a[At(i, 1)], ai2 = a[At(i, 2)], ai3 = a[At(i, 3)];
        for (int j = 0; j < 4; ++j)
            product[At(i, j)] = ai0 * b[At(0, j)] + ai1 * b[At(1, j)] + ai2 * b[At(2, j)] + ai3 * b[At(3, j)];
    }
}

void Translate(float m[16], float x, float y, float z)
{
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void Scale(float m[16], float x, float y, float z)
{
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void Rotate(float m[16], float angleDegrees, float x, float y, float z)
{
    // The angle goes through double on its way to the single-precision sine and cosine.
    const float s = std::sin(static_cast<float>(angleDegrees * M_PI / 180.0));
    const float c = std::cos(static_cast<float>(angleDegrees * M_PI / 180.0));
    float r[16];
    std::memcpy(r, kIdentity, sizeof r);
    // About one axis the matrix is written directly: exactly c and s on the diagonal and beside.
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        r[At(0, 0)] = c;
        r[At(1, 1)] = c;
        r[At(0, 1)] = z < 0.0f ? s : -s;
        r[At(1, 0)] = z < 0.0f ? -s : s;
    } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
        r[At(0, 0)] = c;
        r[At(2, 2)] = c;
        r[At(0, 2)] = y < 0.0f ? -s : s;
        r[At(2, 0)] = y < 0.0f ? s : -s;
    } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
        r[At(1, 1)] = c;
        r[At(2, 2)] = c;
        r[At(1, 2)] = x < 0.0f ? s : -s;
        r[At(2, 1)] = x < 0.0f ? -s : s;
    } else {
        const float magnitude = std::sqrt(x * x + y * y + z * z);
        if (magnitude <= 1.0e-4f) return; // no axis: no rotation
        x /= magnitude;
        y /= magnitude;
        z /= magnitude;
        const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s, oneMinusC = 1.0f - c;
        r[At(0, 0)] = (oneMinusC * xx) + c;
        r[At(0, 1)] = (oneMinusC * xy) - zs;
        r[At(0, 2)] = (oneMinusC * zx) + ys;
        r[At(1, 0)] = (oneMinusC * xy) + zs;
        r[At(1, 1)] = (oneMinusC * yy) + c;
        r[At(1, 2)] = (oneMinusC * yz) - xs;
        r[At(2, 0)] = (oneMinusC * zx) - ys;
        r[At(2, 1)] = (oneMinusC * yz) + xs;
        r[At(2, 2)] = (oneMinusC * zz) + c;
    }
    Multiply(m, m, r);
}

void Ortho(float m[16], float left, float right, float bottom, float top, float zNear, float zFar)
{
    float o[16];
    std::memcpy(o, kIdentity, sizeof o);
    o[At(0, 0)] = 2.0f / (right - left);
    o[At(0, 3)] = -(right + left) / (right - left);
    o[At(1, 1)] = 2.0f / (top - bottom);
    o[At(1, 3)] = -(top + bottom) / (top - bottom);
    o[At(2, 2)] = -2.0f / (zFar - zNear);
    o[At(2, 3)] = -(zFar + zNear) / (zFar - zNear);
    Multiply(m, m, o);
}

bool InverseOfUpper3x3(const float m[16], float inverse[9])
{
    // The determinant summed from its positive and negative terms apart, then each element the
    // cofactor over it: Mesa's inverse of a general affine matrix.
    float positive = 0, negative = 0;
    const float terms[6] = {m[At(0, 0)] * m[At(1, 1)] * m[At(2, 2)],  m[At(1, 0)] * m[At(2, 1)] * m[At(0, 2)],
                            m[At(2, 0)] * m[At(0, 1)] * m[At(1, 2)],  -m[At(2, 0)] * m[At(1, 1)] * m[At(0, 2)],
                            -m[At(1, 0)] * m[At(0, 1)] * m[At(2, 2)], -m[At(0, 0)] * m[At(2, 1)] * m[At(1, 2)]};
    for (float term : terms) (term >= 0.0f ? positive : negative) += term;
    float determinant = positive + negative;
    if (std::fabs(determinant) < 1e-25f) return false;
    determinant = 1.0f / determinant;
    auto in = [m](int row, int column) { return m[At(row, column)]; };
    auto out = [inverse](int row, int column) -> float& { return inverse[column * 3 + row]; };
    out(0, 0) = (in(1, 1) * in(2, 2) - in(2, 1) * in(1, 2)) * determinant;
    out(0, 1) = -(in(0, 1) * in(2, 2) - in(2, 1) * in(0, 2)) * determinant;
    out(0, 2) = (in(0, 1) * in(1, 2) - in(1, 1) * in(0, 2)) * determinant;
    out(1, 0) = -(in(1, 0) * in(2, 2) - in(2, 0) * in(1, 2)) * determinant;
    out(1, 1) = (in(0, 0) * in(2, 2) - in(2, 0) * in(0, 2)) * determinant;
    out(1, 2) = -(in(0, 0) * in(1, 2) - in(1, 0) * in(0, 2)) * determinant;
    out(2, 0) = (in(1, 0) * in(2, 1) - in(2, 0) * in(1, 1)) * determinant;
    out(2, 1) = -(in(0, 0) * in(2, 1) - in(2, 0) * in(0, 1)) * determinant;
    out(2, 2) = (in(0, 0) * in(1, 1) - in(1, 0) * in(0, 1)) * determinant;
    return true;
}

} // namespace matrix_math
