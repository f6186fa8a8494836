// GlMatrix: a 4x4 matrix built on the processor by the same calls, with the same arithmetic,
// as OpenGL's matrix stack (glTranslatef, glRotatef, glScalef each multiply on the right), so
// the leaf batch and the load-time mesh batches place vertices where the nested GL calls of a
// scene would. Column-major, like glLoadMatrixf. Depends on nothing.
#pragma once

#include <cmath>

struct GlMatrix {
    // Identity: a freshly pushed matrix, before the scene's calls.
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    void Translate(float x, float y, float z)
    {
        for (int row = 0; row < 4; ++row)
            m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }

    void Scale(float x, float y, float z)
    {
        for (int row = 0; row < 4; ++row) {
            m[row] *= x;
            m[4 + row] *= y;
            m[8 + row] *= z;
        }
    }

    // Degrees about the axis (x, y, z), normalised first; an axis shorter than 1e-4 turns
    // nothing, as in GL.
    void Rotate(float angleDegrees, float x, float y, float z)
    {
        const float magnitude = std::sqrt(x * x + y * y + z * z);
        if (magnitude <= 1.0e-4f) return;
        x /= magnitude;
        y /= magnitude;
        z /= magnitude;
        const double radians = angleDegrees * M_PI / 180.0;
        const float s = static_cast<float>(std::sin(radians));
        const float c = static_cast<float>(std::cos(radians));
        const float oneMinusC = 1.0f - c;
        // r[column][row] of the rotation, then this := this * r.
        const float r[3][3] = {
            {oneMinusC * x * x + c, oneMinusC * x * y + z * s, oneMinusC * z * x - y * s},
            {oneMinusC * x * y - z * s, oneMinusC * y * y + c, oneMinusC * y * z + x * s},
            {oneMinusC * z * x + y * s, oneMinusC * y * z - x * s, oneMinusC * z * z + c}};
        float columns[3][4];
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 4; ++row)
                columns[column][row] = m[row] * r[column][0] + m[4 + row] * r[column][1] + m[8 + row] * r[column][2];
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 4; ++row) m[4 * column + row] = columns[column][row];
    }

    // this := this * other (as glMultMatrixf).
    void Multiply(const GlMatrix& other)
    {
        float product[16];
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row)
                product[4 * column + row] = m[row] * other.m[4 * column] + m[4 + row] * other.m[4 * column + 1] +
                                            m[8 + row] * other.m[4 * column + 2] + m[12 + row] * other.m[4 * column + 3];
        for (int i = 0; i < 16; ++i) m[i] = product[i];
    }

    // The point (x, y, z, 1) transformed; w is dropped (the matrices built here are affine).
    void TransformPoint(float x, float y, float z, float out[3]) const
    {
        out[0] = m[0] * x + m[4] * y + m[8] * z + m[12];
        out[1] = m[1] * x + m[5] * y + m[9] * z + m[13];
        out[2] = m[2] * x + m[6] * y + m[10] * z + m[14];
    }
};
