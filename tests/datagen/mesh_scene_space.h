// Test helpers for the generated data set: the scenes' model transforms (as the GL calls
// compose them), world bounds of a loaded mesh, and one generated data folder shared by
// the mesh and camera tests of a test program.
#pragma once

#include "resources/lum_geox.h"

#include <array>
#include <string>

struct Point3 {
    float x, y, z;
};

// A model matrix built like the GL stack: each call right-multiplies, so the last call
// acts on the vertices first.
class ModelTransform {
public:
    ModelTransform& Translate(float x, float y, float z);
    ModelTransform& Scale(float x, float y, float z);
    ModelTransform& Scale(float s) { return Scale(s, s, s); }
    ModelTransform& Rotate(float degrees, float x, float y, float z);
    Point3 Apply(Point3 p) const;

private:
    std::array<double, 16> m_m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; // row-major
};

struct Bounds {
    Point3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    bool Contains(Point3 p) const;
};
// Bounds of the mesh's drawn-order vertices (file x, z, y) after the transform.
Bounds WorldBounds(const GeoxMesh& mesh, const ModelTransform& transform = {});

// The folder that holds Data/ with the generated meshes and camera flights, made on first
// use; DataRoot is pointed at it.
const std::string& GeneratedDataRoot();
