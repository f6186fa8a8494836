// MeshBatch: copies of meshes, each under its own matrix, merged at load into one indexed
// array and compiled into one display list. The list holds the same vertices and texture
// coordinates that nested glPushMatrix, transforms, DrawGeoxTextured and glPopMatrix would
// compile, in the same order, but draws them in one call instead of thousands: a fixed grass
// field, a row of trees or a light sphere costs one draw a frame. Building is load time only;
// a batch uploaded into buffer objects can also be drawn a range of its triangles at a time.
// Depends on lum_geox, gl_matrix and GL.
#pragma once

#include "gl/gl.h"
#include "render/gl_matrix.h"
#include "resources/lum_geox.h"

#include <cstdint>
#include <vector>

// A MeshBatch in two buffer objects: its vertices (every position, then every texture
// coordinate) and its indices, for drawing ranges of the indices with DrawMeshRange.
struct MeshBuffers {
    GLuint vertices = 0, indices = 0;
    int vertexCount = 0, indexCount = 0;
};

class MeshBatch {
public:
    // Appends the mesh's triangles, its vertices placed by `placement` (drawn order: the
    // file's y and z exchanged, as DrawGeoxTextured sends them).
    void Add(const GeoxMesh& mesh, const GlMatrix& placement);

    // Compiles a new display list that draws everything added, in order, then multiplies the
    // modelview by `after` (identity: the list leaves the matrix as it found it). Returns the
    // list's name.
    GLuint CompileList(const GlMatrix& after = GlMatrix{}) const;

    // Appends `other`'s triangles after these, its vertices numbered after these.
    void Append(const MeshBatch& other);
    // Uploads everything added into two new buffer objects; no buffer is left bound.
    MeshBuffers Upload() const;

    int VertexCount() const { return static_cast<int>(m_texCoords.size() / 2); }
    int IndexCount() const { return static_cast<int>(m_indices.size()); }
    // The texture coordinates of the vertex that index i names.
    void TexCoordAtIndex(int i, float uv[2]) const;
    // The box around every placed vertex (lo > hi on every axis while the batch is empty).
    void Bounds(float lo[3], float hi[3]) const;
    int TriangleCount() const { return static_cast<int>(m_indices.size() / 3); }

private:
    std::vector<float> m_positions;
    std::vector<float> m_texCoords;
    std::vector<uint32_t> m_indices;
};

// Draws the triangles of indices first to first + count - 1, positions and texture
// coordinates, in one call: what a display list of the same arrays draws, save that the
// current texture coordinate is left as it was. Leaves no buffer bound and the client arrays
// off, as the array draws elsewhere expect.
void DrawMeshRange(const MeshBuffers& mesh, int first, int count);
