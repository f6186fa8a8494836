// LeafBatch: thousands of copies of one small mesh (the leaf) a frame, each under its own
// matrix, sent to GL as one indexed triangle array in one call.
//
// The software renderer pays per vertex and per triangle far more than per call, and runs the
// vertex stage on one core, so a leaf is transformed here on the processor: the scene builds
// each leaf's matrix with the same translate, rotate and scale calls, in the same order, that
// it would issue between glPushMatrix and glPopMatrix around glCallList of the leaf, and hands
// it to Add. The leaf's unique vertices go into one array under that matrix (with the leaf's
// colour when the scene gives one); leaves wholly outside the view are left out, which changes
// no pixel; Draw sends the rest in the order they were added, so blending sees the same order
// as one call per leaf would give. Storage is sized once, at load; a frame allocates nothing.
// Depends on lum_geox (the leaf mesh), gl_matrix and GL.
#pragma once

#include "gl/gl.h"
#include "render/gl_matrix.h"
#include "render/view_region.h"
#include "resources/lum_geox.h"

#include <cstdint>
#include <vector>

// The part of a texture where its alpha is above 4/255 at any mip level of at least 64 x 64
// texels, widened by a texel, in texture coordinates: what a blended leaf can show of it.
// Leaves seen edge-on or only a few dozen pixels wide also sample the smaller levels, whose
// alpha spreads a little further: cut to this rectangle they lose a faint fringe (well under
// a step of brightness on average), which buys a third of the fill of atom's embers.
struct TextureRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};
TextureRect VisibleTextureRect(GLuint texture);

// A blended leaf cut down to the part of it that shows `rect` of its texture: the same
// picture from fewer fragments when the texture's leaf is small in its square. Only a flat
// four-cornered leaf that maps the whole texture square is cut; any other comes back as it is.
GeoxMesh CropLeafToTexture(const GeoxMesh& leaf, const TextureRect& rect);

class LeafBatch {
public:
    // At load: the leaf mesh (its vertices in drawn order and texture coordinates, its
    // triangles) and the most leaves one draw will hold.
    void Prepare(const GeoxMesh& leaf, int capacity);
    int Capacity() const { return m_capacity; }

    // Starts a draw under the current modelview and projection. Leaves added with a colour
    // take it (as glColor4f before each glCallList); leaves added without one take the current
    // colour. One draw is either the one or the other. Leaves wholly outside `region` of the
    // view are left out (a scene that clips to the picture band passes the band).
    void Begin(const ViewRegion& region = {});
    void Add(const GlMatrix& leaf);
    void Add(const GlMatrix& leaf, float r, float g, float b, float a);
    // Leaves 0 to count - 1, as count calls of Add in that order would add them, with the
    // placements worked out on two threads: the frame's processor work before its first
    // flush runs on one core while the other waits for something to draw. place(i, leaf)
    // builds leaf i's matrix on an identity `leaf` and returns false for a leaf the scene
    // skips; it runs for several i at once, so it may only read what the frame shares.
    // Leaves beyond the free slots (Capacity() less the leaves kept so far) are left out.
    // The handover costs a few dozen microseconds: worth it from a few thousand leaves.
    template <class Place>
    void AddEach(int count, const Place& place)
    {
        AddEachOnTwoThreads(count, &place, false, [](const void* context, int i, GlMatrix& leaf, float*) {
            return (*static_cast<const Place*>(context))(i, leaf);
        });
    }
    // The same with a colour per leaf, as Add with a colour: place(i, leaf, rgba), rgba white
    // on entry.
    template <class Place>
    void AddEachColoured(int count, const Place& place)
    {
        AddEachOnTwoThreads(count, &place, true, [](const void* context, int i, GlMatrix& leaf, float* rgba) {
            return (*static_cast<const Place*>(context))(i, leaf, rgba);
        });
    }
    // Draws the leaves added since Begin in one call and leaves GL as the per-leaf calls
    // would: the current colour is the last leaf's colour when leaves carried one. Texture,
    // blending, alpha test and depth state are the caller's, as for the per-leaf calls.
    void Draw();
    // Draw with the leaves sent nearest first (by their mean distance from the eye, in 256
    // steps between the nearest and the farthest leaf). Only for draws whose picture does not
    // depend on the order: depth test on, blending off. The depth test then turns away the
    // hidden fragments of the leaves behind before they are textured, where drawing them in
    // the order added would texture each one and then paint over it; the same pixels, save
    // where two leaves meet at exactly the same depth.
    void DrawNearestFirst();

    // Leaves added since Begin, and how many of them the last Draw sent (the others were
    // wholly outside the view).
    int Added() const { return m_added; }
    int Sent() const { return m_sent; }

private:
    // Leaves begin to end - 1 of AddEach into the slots after the kept ones.
    using PlaceLeaf = bool (*)(const void* context, int index, GlMatrix& leaf, float* rgba);
    void PlaceRange(const void* context, PlaceLeaf placeLeaf, bool coloured, int begin, int end);
    void AddEachOnTwoThreads(int count, const void* context, bool coloured, PlaceLeaf placeLeaf);
    // Adds the leaf's vertices; false when the whole leaf lies outside one clip plane.
    bool Transform(const GlMatrix& leaf, float* positions, float& distance) const;
    // Sends the kept leaves' triangles from `indices` and sets the colour as Draw documents.
    void Send(const uint32_t* indices);

    int m_capacity = 0;
    int m_leafVertices = 0;
    int m_leafIndices = 0;
    std::vector<float> m_leafPositions;   // the leaf's vertices, drawn order (x, z, y of the file)
    std::vector<float> m_positions;       // per batch vertex: x, y, z
    std::vector<float> m_colours;         // per batch vertex: r, g, b, a
    std::vector<float> m_texCoords;       // per batch vertex: u, v (the same for every leaf)
    std::vector<uint32_t> m_indices;      // per batch leaf: the leaf's triangles, offset
    std::vector<float> m_distances;       // per kept leaf: sum of its vertices' clip w
    std::vector<uint32_t> m_nearestFirst; // DrawNearestFirst's triangles, reordered
    std::vector<uint8_t> m_slotState;     // AddEach: per slot, skipped, outside the view or kept
    float m_clip[16] = {};                // projection * modelview at Begin
    ViewRegion m_region;
    bool m_coloured = false;
    float m_lastColour[4] = {1, 1, 1, 1};
    int m_added = 0;
    int m_kept = 0;
    int m_sent = 0;
};
