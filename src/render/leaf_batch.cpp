// The leaf batch: per-leaf matrices on the processor, one indexed draw a batch.
#include "render/leaf_batch.h"

#include "base/two_threads.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

enum SlotState : uint8_t { Skipped, OutsideTheView, Kept };

} // namespace

TextureRect VisibleTextureRect(GLuint texture)
{
    // Alpha at or below 4/255 moves a blended pixel by at most a step or two.
    constexpr uint8_t FaintAlpha = 4;
    TextureRect visible{1, 1, 0, 0};
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint8_t> texels;
    for (int level = 0;; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width < 64 || height < 64) break;
        texels.resize(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (texels[(static_cast<size_t>(y) * width + x) * 4 + 3] <= FaintAlpha) continue;
                // The texel's square, widened by one texel for the linear filter.
                visible.u0 = std::min(visible.u0, static_cast<float>(x - 1) / width);
                visible.u1 = std::max(visible.u1, static_cast<float>(x + 2) / width);
                visible.v0 = std::min(visible.v0, static_cast<float>(y - 1) / height);
                visible.v1 = std::max(visible.v1, static_cast<float>(y + 2) / height);
            }
    }
    // Nothing found (no texture, or all transparent): keep the whole square.
    if (visible.u0 >= visible.u1 || visible.v0 >= visible.v1) return {};
    return {std::max(visible.u0, 0.0f), std::max(visible.v0, 0.0f), std::min(visible.u1, 1.0f),
            std::min(visible.v1, 1.0f)};
}

GeoxMesh CropLeafToTexture(const GeoxMesh& leaf, const TextureRect& rect)
{
    if (leaf.vertices.size() != 4) return leaf;
    // The corners at (0, 0), (1, 0) and (0, 1) of the texture give the flat leaf's map from
    // texture coordinates to places; every corner must sit at one of the four.
    const GeoxVertex* at[2][2] = {};
    for (const GeoxVertex& vertex : leaf.vertices) {
        const bool u1 = vertex.u == 1, v1 = vertex.v == 1;
        if ((vertex.u != 0 && !u1) || (vertex.v != 0 && !v1) || at[u1][v1]) return leaf;
        at[u1][v1] = &vertex;
    }
    auto place = [](const GeoxVertex& vertex) { return std::array<float, 3>{vertex.x, vertex.y, vertex.z}; };
    const std::array<float, 3> origin = place(*at[0][0]), cornerU = place(*at[1][0]), cornerV = place(*at[0][1]),
                               far = place(*at[1][1]);
    for (int axis = 0; axis < 3; ++axis)
        if (std::fabs(far[axis] - (cornerU[axis] + cornerV[axis] - origin[axis])) > 1e-5f) return leaf;
    GeoxMesh cropped = leaf;
    for (GeoxVertex& vertex : cropped.vertices) {
        vertex.u = vertex.u == 0 ? rect.u0 : rect.u1;
        vertex.v = vertex.v == 0 ? rect.v0 : rect.v1;
        std::array<float, 3> p;
        for (int axis = 0; axis < 3; ++axis)
            p[axis] = origin[axis] + vertex.u * (cornerU[axis] - origin[axis]) + vertex.v * (cornerV[axis] - origin[axis]);
        vertex.x = p[0];
        vertex.y = p[1];
        vertex.z = p[2];
    }
    return cropped;
}

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
    m_nearestFirst.resize(m_indices.size());
    m_distances.resize(static_cast<size_t>(m_capacity));
    m_slotState.resize(static_cast<size_t>(m_capacity));
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

void LeafBatch::Begin(const ViewRegion& region)
{
    m_region = region;
    GlMatrix projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    projection.Multiply(modelview);
    std::copy(std::begin(projection.m), std::end(projection.m), m_clip);
    m_coloured = false;
    m_added = 0;
    m_kept = 0;
}

bool LeafBatch::Transform(const GlMatrix& leaf, float* positions, float& distance) const
{
    distance = 0;
    // Outcodes of the six planes of the region's part of the view; a leaf is dropped only
    // when every vertex lies beyond the same plane, so no visible fragment is lost.
    unsigned commonOutside = 0x3F;
    for (int v = 0; v < m_leafVertices; ++v) {
        float* p = positions + 3 * v;
        leaf.TransformPoint(m_leafPositions[3 * v], m_leafPositions[3 * v + 1], m_leafPositions[3 * v + 2], p);
        const float x = m_clip[0] * p[0] + m_clip[4] * p[1] + m_clip[8] * p[2] + m_clip[12];
        const float y = m_clip[1] * p[0] + m_clip[5] * p[1] + m_clip[9] * p[2] + m_clip[13];
        const float z = m_clip[2] * p[0] + m_clip[6] * p[1] + m_clip[10] * p[2] + m_clip[14];
        const float w = m_clip[3] * p[0] + m_clip[7] * p[1] + m_clip[11] * p[2] + m_clip[15];
        const unsigned outside = (x < m_region.left * w) | (x > m_region.right * w) << 1 |
                                 (y < m_region.bottom * w) << 2 | (y > m_region.top * w) << 3 | (z < -w) << 4 |
                                 (z > w) << 5;
        commonOutside &= outside;
        distance += w;
    }
    return commonOutside == 0;
}

void LeafBatch::Add(const GlMatrix& leaf)
{
    if (m_kept == m_capacity) return;
    ++m_added;
    float* positions = &m_positions[static_cast<size_t>(m_kept) * m_leafVertices * 3];
    if (Transform(leaf, positions, m_distances[m_kept])) ++m_kept;
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
    if (!Transform(leaf, &m_positions[first * 3], m_distances[m_kept])) return;
    for (int v = 0; v < m_leafVertices; ++v) std::copy(m_lastColour, m_lastColour + 4, &m_colours[(first + v) * 4]);
    ++m_kept;
}

void LeafBatch::PlaceRange(const void* context, PlaceLeaf placeLeaf, bool coloured, int begin, int end)
{
    const size_t vertices = static_cast<size_t>(m_leafVertices);
    for (int i = begin; i < end; ++i) {
        const size_t slot = static_cast<size_t>(m_kept + i);
        GlMatrix leaf;
        float colour[4] = {1, 1, 1, 1};
        if (!placeLeaf(context, i, leaf, colour)) {
            m_slotState[slot] = Skipped;
            continue;
        }
        const bool inView = Transform(leaf, &m_positions[slot * vertices * 3], m_distances[slot]);
        m_slotState[slot] = inView ? Kept : OutsideTheView;
        // Every placed leaf's colour is kept, seen or not: the last one stays current.
        if (coloured)
            for (size_t v = 0; v < vertices; ++v) std::copy(colour, colour + 4, &m_colours[(slot * vertices + v) * 4]);
    }
}

void LeafBatch::AddEachOnTwoThreads(int count, const void* context, bool coloured, PlaceLeaf placeLeaf)
{
    count = std::clamp(count, 0, m_capacity - m_kept);
    // Each half writes only its own slots.
    SplitOverTwoThreads(count, [&](int begin, int end) { PlaceRange(context, placeLeaf, coloured, begin, end); });

    const size_t vertices = static_cast<size_t>(m_leafVertices);
    if (coloured) {
        m_coloured = true;
        for (int slot = m_kept + count - 1; slot >= m_kept; --slot)
            if (m_slotState[slot] != Skipped) {
                std::copy_n(&m_colours[static_cast<size_t>(slot) * vertices * 4], 4, m_lastColour);
                break;
            }
    }
    // Close the gaps the skipped and unseen leaves left, keeping the order.
    int kept = m_kept;
    for (int slot = m_kept; slot < m_kept + count; ++slot) {
        if (m_slotState[slot] == Skipped) continue;
        ++m_added;
        if (m_slotState[slot] != Kept) continue;
        if (slot != kept) {
            const size_t from = static_cast<size_t>(slot) * vertices, to = static_cast<size_t>(kept) * vertices;
            std::copy_n(&m_positions[from * 3], vertices * 3, &m_positions[to * 3]);
            if (coloured) std::copy_n(&m_colours[from * 4], vertices * 4, &m_colours[to * 4]);
            m_distances[kept] = m_distances[slot];
        }
        ++kept;
    }
    m_kept = kept;
}

void LeafBatch::Draw()
{
    Send(m_indices.data());
}

void LeafBatch::DrawNearestFirst()
{
    // A counting sort into coarse steps of distance: linear in the leaves, stable, and fine
    // enough that the depth test sees nearly every hidden fragment after what hides it.
    constexpr int Steps = 256;
    float nearest = 0, farthest = 0;
    if (m_kept > 0) nearest = farthest = m_distances[0];
    for (int k = 1; k < m_kept; ++k) {
        nearest = std::min(nearest, m_distances[k]);
        farthest = std::max(farthest, m_distances[k]);
    }
    const float stepsPerUnit = farthest > nearest ? (Steps - 1) / (farthest - nearest) : 0;
    std::array<int, Steps + 1> firstOfStep{};
    auto stepOf = [&](int k) {
        const float step = (m_distances[k] - nearest) * stepsPerUnit;
        return step >= 0 ? static_cast<int>(std::min(step, Steps - 1.0f)) : 0; // NaN lands in 0
    };
    for (int k = 0; k < m_kept; ++k) ++firstOfStep[stepOf(k) + 1];
    for (int step = 0; step < Steps; ++step) firstOfStep[step + 1] += firstOfStep[step];
    for (int k = 0; k < m_kept; ++k) {
        const size_t to = static_cast<size_t>(firstOfStep[stepOf(k)]++) * m_leafIndices;
        std::copy_n(&m_indices[static_cast<size_t>(k) * m_leafIndices], m_leafIndices, &m_nearestFirst[to]);
    }
    Send(m_nearestFirst.data());
}

void LeafBatch::Send(const uint32_t* indices)
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
                            m_kept * m_leafIndices, GL_UNSIGNED_INT, indices);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    // As after one glColor4f per leaf, the colour in force is the last leaf's.
    if (m_coloured) glColor4fv(m_lastColour);
}
