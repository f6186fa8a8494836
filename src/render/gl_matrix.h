// GlMatrix: a 4x4 matrix built on the processor by the same calls as OpenGL's matrix stack
// (glTranslatef, glRotatef, glScalef each multiply on the right), so the leaf batch and the
// load-time mesh batches place vertices where the nested GL calls of a scene would. Column-major,
// like glLoadMatrixf. Translations, scales and products are the driver's own arithmetic
// (gl/matrix_math); rotations take their sine and cosine in double precision, where the driver
// takes them in single, a difference of a unit in the last place that the scenes' leaves were
// placed with.
#pragma once

#include "gl/matrix_math.h"

#include <cmath>

struct GlMatrix {
    // Identity: a freshly pushed matrix, before the scene's calls.
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    void Translate(float x, float y, float z) { matrix_math::Translate(m, x, y, z); }
    void Scale(float x, float y, float z) { matrix_math::Scale(m, x, y, z); }
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
        // The rotation in column order, then this := this * rotation.
        const float r[16] = {oneMinusC * x * x + c,     oneMinusC * x * y + z * s, oneMinusC * z * x - y * s, 0,
                             oneMinusC * x * y - z * s, oneMinusC * y * y + c,     oneMinusC * y * z + x * s, 0,
                             oneMinusC * z * x + y * s, oneMinusC * y * z - x * s, oneMinusC * z * z + c,     0,
                             0,                         0,                         0,                         1};
        matrix_math::Multiply(m, m, r);
    }
    // this := this * other (as glMultMatrixf).
    void Multiply(const GlMatrix& other) { matrix_math::Multiply(m, m, other.m); }

    // The point (x, y, z, 1) transformed; w is dropped (the matrices built here are affine).
    void TransformPoint(float x, float y, float z, float out[3]) const
    {
        out[0] = m[0] * x + m[4] * y + m[8] * z + m[12];
        out[1] = m[1] * x + m[5] * y + m[9] * z + m[13];
        out[2] = m[2] * x + m[6] * y + m[10] * z + m[14];
    }
};
