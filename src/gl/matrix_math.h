// 4x4 matrices in column order, made with the arithmetic of Mesa's matrix stack (m_matrix.c):
// the same products in the same order, in single precision, and the same special cases, so
// that the layer on shaders and the processor-side batches place every vertex where the
// driver's fixed-function pipeline does. Depends on nothing.
#pragma once

namespace matrix_math {

// product := a * b (product may be a, not b).
void Multiply(float product[16], const float a[16], const float b[16]);
// m := m * T(x, y, z), m * S(x, y, z), m * R(angle degrees about x, y, z).
void Translate(float m[16], float x, float y, float z);
void Scale(float m[16], float x, float y, float z);
void Rotate(float m[16], float angleDegrees, float x, float y, float z);
// m := m * the orthographic projection of the box.
void Ortho(float m[16], float left, float right, float bottom, float top, float zNear, float zFar);
// The inverse of the upper-left 3x3 of m (column order, 9 floats): the matrix whose rows
// carry normals to eye space. False, and nothing written, when it is singular.
bool InverseOfUpper3x3(const float m[16], float inverse[9]);

} // namespace matrix_math
