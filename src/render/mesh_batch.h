// MeshBatch: copies of meshes, each under its own matrix, merged at load into one indexed
// array and compiled into one display list. The list holds the same vertices and texture
// coordinates that nested glPushMatrix, transforms, DrawGeoxTextured and glPopMatrix would
// compile, in the same order, but draws them in one call instead of thousands: a fixed grass
// field, a row of trees or a light sphere costs one draw a frame. Load time only.
// Depends on lum_geox, gl_matrix and GL.
#pragma once

#include "base/gl.h"
#include "render/gl_matrix.h"
#include "resources/lum_geox.h"

#include <cstdint>
#include <vector>

class MeshBatch {
public:
    // Appends the mesh's triangles, its vertices placed by `placement` (drawn order: the
    // file's y and z exchanged, as DrawGeoxTextured sends them).
    void Add(const GeoxMesh& mesh, const GlMatrix& placement);

    // Compiles a new display list that draws everything added, in order, then multiplies the
    // modelview by `after` (identity: the list leaves the matrix as it found it). Returns the
    // list's name.
    GLuint CompileList(const GlMatrix& after = GlMatrix{}) const;

    int VertexCount() const { return static_cast<int>(m_texCoords.size() / 2); }
    // The box around every placed vertex (lo > hi on every axis while the batch is empty).
    void Bounds(float lo[3], float hi[3]) const;
    int TriangleCount() const { return static_cast<int>(m_indices.size() / 3); }

private:
    std::vector<float> m_positions;
    std::vector<float> m_texCoords;
    std::vector<uint32_t> m_indices;
};
