// The leaf batch: per-leaf matrices on the processor, one indexed draw a batch.
#include "render/leaf_batch.h"

#include <algorithm>

void LeafBatch::Prepare(const GeoxMesh& leaf, int capacity)
{
    m_capacity = std::max(capacity, 0);
    m_leafVertices = static_cast<int>(leaf.vertices.size());
    m_leafIndices = 3 * static_cast<int>(leaf.triangles.size());
    m_leafPositions.clear();
    for (const GeoxVertex& vertex : leaf.vertices) {
        m_leafPositions.push_back(vertex.x);
        m_leafPositions.push_back(vertex.z);
        m_leafPositions.push_back(vertex.y);
    }
    const size_t vertices = static_cast<size_t>(m_capacity) * m_leafVertices;
    m_positions.assign(vertices * 3, 0.0f);
    m_colours.assign(vertices * 4, 1.0f);
    m_texCoords.resize(vertices * 2);
    m_indices.resize(static_cast<size_t>(m_capacity) * m_leafIndices);
    // Texture coordinates and triangles are the same for every leaf, so they are laid out
    // once; a leaf kept in slot k uses vertices k * leafVertices onwards.
    for (int k = 0; k < m_capacity; ++k) {
        for (int v = 0; v < m_leafVertices; ++v) {
            m_texCoords[(static_cast<size_t>(k) * m_leafVertices + v) * 2] = leaf.vertices[v].u;
            m_texCoords[(static_cast<size_t>(k) * m_leafVertices + v) * 2 + 1] = leaf.vertices[v].v;
        }
        uint32_t* indices = &m_indices[static_cast<size_t>(k) * m_leafIndices];
        const uint32_t base = static_cast<uint32_t>(k * m_leafVertices);
        for (size_t t = 0; t < leaf.triangles.size(); ++t) {
            indices[3 * t] = base + static_cast<uint32_t>(leaf.triangles[t].i0);
            indices[3 * t + 1] = base + static_cast<uint32_t>(leaf.triangles[t].i1);
            indices[3 * t + 2] = base + static_cast<uint32_t>(leaf.triangles[t].i2);
        }
    }
}

void LeafBatch::Begin()
{
    GlMatrix projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    projection.Multiply(modelview);
    std::copy(std::begin(projection.m), std::end(projection.m), m_clip);
    m_coloured = false;
    m_added = 0;
    m_kept = 0;
}

bool LeafBatch::Transform(const GlMatrix& leaf, float* positions) const
{
    // Outcodes of the six clip planes; a leaf is dropped only when every vertex lies beyond
    // the same plane, so no visible fragment is lost.
    unsigned commonOutside = 0x3F;
    for (int v = 0; v < m_leafVertices; ++v) {
        float* p = positions + 3 * v;
        leaf.TransformPoint(m_leafPositions[3 * v], m_leafPositions[3 * v + 1], m_leafPositions[3 * v + 2], p);
        const float x = m_clip[0] * p[0] + m_clip[4] * p[1] + m_clip[8] * p[2] + m_clip[12];
        const float y = m_clip[1] * p[0] + m_clip[5] * p[1] + m_clip[9] * p[2] + m_clip[13];
        const float z = m_clip[2] * p[0] + m_clip[6] * p[1] + m_clip[10] * p[2] + m_clip[14];
        const float w = m_clip[3] * p[0] + m_clip[7] * p[1] + m_clip[11] * p[2] + m_clip[15];
        const unsigned outside = (x < -w) | (x > w) << 1 | (y < -w) << 2 | (y > w) << 3 | (z < -w) << 4 |
                                 (z > w) << 5;
        commonOutside &= outside;
    }
    return commonOutside == 0;
}

void LeafBatch::Add(const GlMatrix& leaf)
{
    if (m_kept == m_capacity) return;
    ++m_added;
    float* positions = &m_positions[static_cast<size_t>(m_kept) * m_leafVertices * 3];
    if (Transform(leaf, positions)) ++m_kept;
}

void LeafBatch::Add(const GlMatrix& leaf, float r, float g, float b, float a)
{
    m_coloured = true;
    m_lastColour[0] = r;
    m_lastColour[1] = g;
    m_lastColour[2] = b;
    m_lastColour[3] = a;
    if (m_kept == m_capacity) return;
    ++m_added;
    const size_t first = static_cast<size_t>(m_kept) * m_leafVertices;
    if (!Transform(leaf, &m_positions[first * 3])) return;
    for (int v = 0; v < m_leafVertices; ++v) std::copy(m_lastColour, m_lastColour + 4, &m_colours[(first + v) * 4]);
    ++m_kept;
}

void LeafBatch::Draw()
{
    m_sent = m_kept;
    if (m_kept > 0) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, m_positions.data());
        glTexCoordPointer(2, GL_FLOAT, 0, m_texCoords.data());
        if (m_coloured) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_FLOAT, 0, m_colours.data());
        }
        glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(m_kept * m_leafVertices - 1),
                            m_kept * m_leafIndices, GL_UNSIGNED_INT, m_indices.data());
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    // As after one glColor4f per leaf, the colour in force is the last leaf's.
    if (m_coloured) glColor4fv(m_lastColour);
}
