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

void MeshBatch::Append(const MeshBatch& other)
{
    const uint32_t base = static_cast<uint32_t>(VertexCount());
    m_positions.insert(m_positions.end(), other.m_positions.begin(), other.m_positions.end());
    m_texCoords.insert(m_texCoords.end(), other.m_texCoords.begin(), other.m_texCoords.end());
    for (uint32_t index : other.m_indices) m_indices.push_back(base + index);
}

void MeshBatch::TexCoordAtIndex(int i, float uv[2]) const
{
    const uint32_t vertex = m_indices.at(static_cast<size_t>(i));
    uv[0] = m_texCoords[2 * vertex];
    uv[1] = m_texCoords[2 * vertex + 1];
}

MeshBuffers MeshBatch::Upload() const
{
    MeshBuffers mesh;
    mesh.vertexCount = VertexCount();
    mesh.indexCount = IndexCount();
    const GLsizeiptr positionBytes = static_cast<GLsizeiptr>(m_positions.size() * sizeof(float));
    const GLsizeiptr texCoordBytes = static_cast<GLsizeiptr>(m_texCoords.size() * sizeof(float));
    glGenBuffers(1, &mesh.vertices);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertices);
    glBufferData(GL_ARRAY_BUFFER, positionBytes + texCoordBytes, nullptr, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, positionBytes, m_positions.data());
    glBufferSubData(GL_ARRAY_BUFFER, positionBytes, texCoordBytes, m_texCoords.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glGenBuffers(1, &mesh.indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_indices.size() * sizeof(uint32_t)),
                 m_indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return mesh;
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

void DrawMeshRange(const MeshBuffers& mesh, int first, int count)
{
    if (count <= 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(sizeof(float) * 3 * static_cast<size_t>(mesh.vertexCount)));
    glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(mesh.vertexCount - 1), count, GL_UNSIGNED_INT,
                        reinterpret_cast<const void*>(sizeof(uint32_t) * static_cast<size_t>(first)));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
