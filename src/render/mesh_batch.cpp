// Load-time mesh batches.
#include "render/mesh_batch.h"

#include <algorithm>
#include <limits>

void MeshBatch::Add(const GeoxMesh& mesh, const GlMatrix& placement)
{
    const uint32_t base = static_cast<uint32_t>(VertexCount());
    for (const GeoxVertex& vertex : mesh.vertices) {
        float placed[3];
        placement.TransformPoint(vertex.x, vertex.z, vertex.y, placed);
        m_positions.insert(m_positions.end(), placed, placed + 3);
        m_texCoords.push_back(vertex.u);
        m_texCoords.push_back(vertex.v);
    }
    for (const GeoxTriangle& triangle : mesh.triangles) {
        m_indices.push_back(base + static_cast<uint32_t>(triangle.i0));
        m_indices.push_back(base + static_cast<uint32_t>(triangle.i1));
        m_indices.push_back(base + static_cast<uint32_t>(triangle.i2));
    }
}

void MeshBatch::Bounds(float lo[3], float hi[3]) const
{
    for (int axis = 0; axis < 3; ++axis) {
        lo[axis] = std::numeric_limits<float>::max();
        hi[axis] = std::numeric_limits<float>::lowest();
    }
    for (size_t i = 0; i < m_positions.size(); ++i) {
        lo[i % 3] = std::min(lo[i % 3], m_positions[i]);
        hi[i % 3] = std::max(hi[i % 3], m_positions[i]);
    }
}

GLuint MeshBatch::CompileList(const GlMatrix& after) const
{
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    if (!m_indices.empty()) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, m_positions.data());
        glTexCoordPointer(2, GL_FLOAT, 0, m_texCoords.data());
        glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(VertexCount() - 1),
                            static_cast<GLsizei>(m_indices.size()), GL_UNSIGNED_INT, m_indices.data());
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glMultMatrixf(after.m);
    glEndList();
    return list;
}
