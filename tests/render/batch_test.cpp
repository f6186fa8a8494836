// The batches that stand in for thousands of small GL draws: the processor-side matrix against
// GL's own matrix stack, the leaf batch against one glCallList per leaf, and a load-time mesh
// batch against the nested draws it replaces, compared on the real frame.
#include "render/gl_matrix.h"
#include "render/leaf_batch.h"
#include "render/mesh_batch.h"
#include "render/view_region.h"

#include "gl/gl.h"
#include "support/driver_gl.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// A 2 x 2 quad (the leaf's shape) with a texture coordinate per corner, in file order.
GeoxMesh UnitQuad()
{
    GeoxMesh mesh;
    mesh.vertices = {{-0.5f, -0.5f, 0, 0, 0, 0, 0, 0},
                     {0.5f, -0.5f, 0, 1, 0, 0, 0, 0},
                     {-0.5f, 0.5f, 0, 0, 1, 0, 0, 0},
                     {0.5f, 0.5f, 0, 1, 1, 0, 0, 0}};
    mesh.triangles = {{2, 3, 1, 0, 0, 0}, {2, 1, 0, 0, 0, 0}};
    mesh.vertexCount = 4;
    mesh.triangleCount = 2;
    return mesh;
}

// A small RGBA texture whose alpha cuts a disc: alpha-tested, it gives a leaf-like outline.
GLuint DiscTexture()
{
    constexpr int kSize = 32;
    std::vector<uint8_t> texels(kSize * kSize * 4);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            uint8_t* t = &texels[(y * kSize + x) * 4];
            const float dx = x - 15.5f, dy = y - 15.5f;
            t[0] = static_cast<uint8_t>(8 * x);
            t[1] = static_cast<uint8_t>(8 * y);
            t[2] = 200;
            t[3] = dx * dx + dy * dy < 14.0f * 14.0f ? 255 : 0;
        }
    return UploadRgbaTexture(kSize, kSize, texels, GL_NEAREST);
}

class BatchTest : public GlTest {
protected:
    void SetUp() override
    {
        glViewport(0, 0, 640, 480);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, 640.0 / 480.0, 0.1, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 20, -60, 0, 0, 0, 0, 1, 0);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glColor4f(1, 1, 1, 1);
    }

    static void Clear()
    {
        glClearColor(0.1f, 0.1f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Channels that differ by more than 40: a moved edge shifts a few, a wrong leaf many.
    static size_t Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
    {
        size_t count = 0;
        for (size_t i = 0; i < a.size(); ++i) count += std::abs(int(a[i]) - int(b[i])) > 40;
        return count;
    }
};

TEST_F(BatchTest, GlMatrixFollowsTheGlMatrixStackCallForCall)
{
    glPushMatrix();
    glLoadIdentity();
    GlMatrix ours;
    for (int i = 0; i < 12; ++i) {
        const float a = std::sin(i * 1.7f) * 40, b = std::cos(i * 0.9f) * 3;
        glTranslatef(a, b, -a / 3);
        ours.Translate(a, b, -a / 3);
        glRotatef(i * 97.5f, b, 1, 0.52389467f * (1 + i));
        ours.Rotate(i * 97.5f, b, 1, 0.52389467f * (1 + i));
        glScalef(1 + i * 0.3f, 2, 0.5f);
        ours.Scale(1 + i * 0.3f, 2, 0.5f);
    }
    glRotatef(45, 0, 0, 0); // a zero axis turns nothing, in GL as here
    ours.Rotate(45, 0, 0, 0);
    GLfloat gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    glPopMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(ours.m[i], gl[i], 1e-4f * (1 + std::fabs(gl[i]))) << "element " << i;
}

TEST_F(BatchTest, LeafBatchDrawsWhatOneCallPerLeafDraws)
{
    const GeoxMesh leaf = UnitQuad();
    const GLuint leafList = glGenLists(1);
    glNewList(leafList, GL_COMPILE);
    DrawGeoxTextured(leaf);
    glEndList();
    const GLuint texture = DiscTexture();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);

    // 400 leaves, some far outside the view, each with its own turn, size and grey.
    constexpr int kLeaves = 400;
    auto place = [](int i, GlMatrix& m) {
        m.Translate(std::sin(i * 0.37f) * (i % 7 == 0 ? 900.0f : 40.0f), std::cos(i * 0.11f) * 25, i * 0.2f - 20);
        m.Rotate(i * 23.0f, 0.7259231f, 1, 0.52389467f);
        m.Scale(6, 9, 6);
    };
    auto grey = [](int i) { return 0.2f + 0.8f * i / kLeaves; };

    Clear();
    for (int i = 0; i < kLeaves; ++i) {
        GlMatrix m;
        place(i, m);
        glPushMatrix();
        glMultMatrixf(m.m);
        glColor4f(grey(i), grey(i), grey(i), 1);
        glCallList(leafList);
        glPopMatrix();
    }
    const std::vector<uint8_t> perLeaf = ReadFrameRgb();

    LeafBatch batch;
    batch.Prepare(leaf, kLeaves);
    Clear();
    glColor4f(0, 0, 1, 1);
    batch.Begin();
    for (int i = 0; i < kLeaves; ++i) {
        GlMatrix m;
        place(i, m);
        batch.Add(m, grey(i), grey(i), grey(i), 1);
    }
    batch.Draw();
    const std::vector<uint8_t> batched = ReadFrameRgb();
    // Under the depth test and without blending, nearest first changes nothing: no two of
    // these leaves lie in one plane.
    Clear();
    batch.DrawNearestFirst();
    const std::vector<uint8_t> nearestFirst = ReadFrameRgb();
    glDisable(GL_ALPHA_TEST);

    EXPECT_EQ(batch.Added(), kLeaves);
    EXPECT_LT(batch.Sent(), kLeaves) << "the leaves far to the side are left out";
    EXPECT_GT(batch.Sent(), kLeaves / 2);
    EXPECT_LT(Differing(perLeaf, batched), perLeaf.size() / 2000) << "the same leaves in the same places";
    EXPECT_LT(Differing(perLeaf, nearestFirst), perLeaf.size() / 2000) << "nearest first, the same picture";
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], grey(kLeaves - 1)) << "the last leaf's colour stays current";
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    DeleteTexture(texture);
}

TEST_F(BatchTest, LeavesWithoutColourTakeTheCurrentOneAndOrderSurvivesBlending)
{
    const GeoxMesh leaf = UnitQuad();
    LeafBatch batch;
    batch.Prepare(leaf, 2);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Clear();
    // Two leaves on top of each other: half red over the earlier one; the later one wins half.
    glColor4f(1, 0, 0, 0.5f);
    batch.Begin();
    GlMatrix near;
    near.Scale(20, 20, 20);
    batch.Add(near);
    batch.Add(near);
    batch.Draw();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    const std::vector<uint8_t> centre = ReadFrameRgb(320, 240, 1, 1);
    // 0.1 -> 0.55 -> 0.775 in red; green 0.1 -> 0.05 -> 0.025.
    EXPECT_NEAR(centre[0], 0.775 * 255, 2);
    EXPECT_NEAR(centre[1], 0.025 * 255, 2);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[3], 0.5f) << "a batch without colours leaves the colour alone";
}

TEST_F(BatchTest, AddEachAddsWhatAddCallsInOrderAdd)
{
    const GeoxMesh leaf = UnitQuad();
    constexpr int kLeaves = 301; // an odd count: the two threads' halves differ
    // Overlapping, half-transparent leaves, every fifth skipped, some far outside the view:
    // blended, the picture shows any change of order.
    auto place = [](int i, GlMatrix& m, float* rgba) {
        if (i % 5 == 0) return false;
        m.Translate(std::sin(i * 0.37f) * (i % 7 == 0 ? 900.0f : 15.0f), std::cos(i * 0.11f) * 10, i * 0.05f);
        m.Rotate(i * 23.0f, 0.7259231f, 1, 0.52389467f);
        m.Scale(12, 12, 12);
        rgba[0] = (i % 3) / 2.0f;
        rgba[1] = (i % 4) / 3.0f;
        rgba[2] = 1.0f - rgba[0];
        rgba[3] = 0.5f;
        return true;
    };
    LeafBatch batch;
    batch.Prepare(leaf, kLeaves);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    auto frameAfter = [&](const std::function<void()>& add) {
        Clear();
        batch.Begin();
        add();
        batch.Draw();
        return ReadFrameRgb();
    };
    const std::vector<uint8_t> oneByOne = frameAfter([&] {
        for (int i = 0; i < kLeaves; ++i) {
            GlMatrix m;
            float rgba[4] = {1, 1, 1, 1};
            if (place(i, m, rgba)) batch.Add(m, rgba[0], rgba[1], rgba[2], rgba[3]);
        }
    });
    const int added = batch.Added(), sent = batch.Sent();
    GLfloat colourAfterAdd[4];
    glGetFloatv(GL_CURRENT_COLOR, colourAfterAdd);
    const std::vector<uint8_t> onTwoThreads = frameAfter([&] { batch.AddEachColoured(kLeaves, place); });
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);

    EXPECT_EQ(batch.Added(), added);
    EXPECT_EQ(added, kLeaves - (kLeaves + 4) / 5);
    EXPECT_EQ(batch.Sent(), sent);
    EXPECT_LT(sent, added) << "the leaves far to the side are left out";
    EXPECT_TRUE(oneByOne == onTwoThreads) << "the same leaves, in the same order";
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(colour[c], colourAfterAdd[c]) << "the last placed leaf's colour, channel " << c;
}

TEST_F(BatchTest, NearestFirstSendsTheNearerLeafBeforeTheFartherOne)
{
    LeafBatch batch;
    batch.Prepare(UnitQuad(), 2);
    glDisable(GL_TEXTURE_2D);
    glDepthFunc(GL_ALWAYS); // the leaf drawn last shows
    auto centreAfter = [&](void (LeafBatch::*draw)()) {
        Clear();
        batch.Begin();
        // Two wide flat leaves (the quad lies in x-z) under the eye at (0, 20, -60).
        GlMatrix far, near;
        far.Translate(0, -10, 0);
        far.Scale(200, 200, 200);
        near.Translate(0, 10, 0);
        near.Scale(200, 200, 200);
        batch.Add(far, 0, 1, 0, 1);
        batch.Add(near, 1, 0, 0, 1);
        (batch.*draw)();
        return ReadFrameRgb(320, 240, 1, 1);
    };
    EXPECT_EQ(centreAfter(&LeafBatch::Draw), (std::vector<uint8_t>{255, 0, 0})) << "in the order added: near last";
    EXPECT_EQ(centreAfter(&LeafBatch::DrawNearestFirst), (std::vector<uint8_t>{0, 255, 0})) << "far last";
    glDepthFunc(GL_LESS);
    glEnable(GL_TEXTURE_2D);
}

TEST_F(BatchTest, MeshBatchListDrawsWhatTheNestedDrawsCompile)
{
    const GeoxMesh quad = UnitQuad();
    glDisable(GL_TEXTURE_2D);
    auto placement = [](int i) {
        GlMatrix m;
        m.Translate(i * 7.0f - 30, 0, i * 3.0f);
        m.Scale(5, 1 + i * 0.5f, 5);
        m.Rotate(i * 40.0f, 0, 1, 0);
        return m;
    };
    const GLuint nested = glGenLists(1);
    glNewList(nested, GL_COMPILE);
    MeshBatch batch;
    for (int i = 0; i < 9; ++i) {
        glPushMatrix();
        glMultMatrixf(placement(i).m);
        DrawGeoxTextured(quad);
        glPopMatrix();
        batch.Add(quad, placement(i));
    }
    glEndList();
    GlMatrix after;
    after.Rotate(30, 1, 0.7f, 1.2f);
    const GLuint batched = batch.CompileList(after);
    EXPECT_EQ(batch.VertexCount(), 36);
    EXPECT_EQ(batch.TriangleCount(), 18);

    Clear();
    glCallList(nested);
    const std::vector<uint8_t> expected = ReadFrameRgb();
    Clear();
    glPushMatrix();
    glCallList(batched);
    GLfloat turned[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, turned);
    glPopMatrix();
    EXPECT_LT(Differing(expected, ReadFrameRgb()), 60u);
    // The list leaves the modelview multiplied by `after`, as a list of turns without a push does.
    glPushMatrix();
    glRotatef(30, 1, 0.7f, 1.2f);
    GLfloat reference[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, reference);
    glPopMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(turned[i], reference[i], 1e-4f);
    glEnable(GL_TEXTURE_2D);
}

TEST_F(BatchTest, RangesOfAnUploadedBatchDrawWhatTheirOwnListsDraw)
{
    const GeoxMesh quad = UnitQuad();
    glDisable(GL_TEXTURE_2D);
    MeshBatch front, back, both;
    for (int i = 0; i < 4; ++i) {
        GlMatrix m;
        m.Translate(i * 9.0f - 20, 0, 0);
        m.Scale(4, 1, 4);
        front.Add(quad, m);
    }
    for (int i = 0; i < 3; ++i) {
        GlMatrix m;
        m.Translate(i * 9.0f - 15, 1, 12);
        m.Rotate(35.0f * i, 0, 1, 0);
        m.Scale(6, 2, 6);
        back.Add(quad, m);
    }
    both.Append(front);
    both.Append(back);
    ASSERT_EQ(both.IndexCount(), front.IndexCount() + back.IndexCount());
    const MeshBuffers buffers = both.Upload();
    auto listFrame = [&](const MeshBatch& batch) {
        Clear();
        glCallList(batch.CompileList());
        return ReadFrameRgb();
    };
    auto rangeFrame = [&](int first, int count) {
        Clear();
        DrawMeshRange(buffers, first, count);
        return ReadFrameRgb();
    };
    EXPECT_EQ(rangeFrame(0, both.IndexCount()), listFrame(both));
    EXPECT_EQ(rangeFrame(front.IndexCount(), back.IndexCount()), listFrame(back));
    EXPECT_EQ(rangeFrame(0, front.IndexCount()), listFrame(front));
    // Nothing stays bound, so a later draw from client arrays reads memory, not the buffers.
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    glEnable(GL_TEXTURE_2D);
}

// A mipmapped texture whose alpha shows only a soft ember in the middle of its square.
GLuint EmberTexture()
{
    constexpr int kSize = 128;
    std::vector<uint8_t> texels(kSize * kSize * 4);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            uint8_t* t = &texels[(y * kSize + x) * 4];
            const float dx = (x - 63.5f) / 10.0f, dy = (y - 63.5f) / 14.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            t[0] = 255;
            t[1] = static_cast<uint8_t>(120 + y);
            t[2] = 40;
            t[3] = r < 1 ? 255 : r < 1.5f ? static_cast<uint8_t>(255 * (1.5f - r) * 2) : 0;
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texture;
}

TEST_F(BatchTest, ABlendedLeafCutToWhereItsTextureShowsDrawsTheSamePicture)
{
    const GLuint texture = EmberTexture();
    const TextureRect rect = VisibleTextureRect(texture);
    // The ember spans texels 48..79 across and 42..85 down; the rectangle holds it and
    // little more.
    EXPECT_LE(rect.u0, 48.0f / 128);
    EXPECT_GE(rect.u1, 80.0f / 128);
    EXPECT_LE(rect.v0, 42.0f / 128);
    EXPECT_GE(rect.v1, 86.0f / 128);
    EXPECT_GT(rect.u0, 0.3f);
    EXPECT_LT(rect.u1, 0.7f);

    const GeoxMesh leaf = UnitQuad();
    const GeoxMesh cropped = CropLeafToTexture(leaf, rect);
    ASSERT_EQ(cropped.vertices.size(), 4u);
    for (const GeoxVertex& v : cropped.vertices) {
        // Each corner moves along the quad to where its texture coordinate now points.
        EXPECT_NEAR(v.x, v.u - 0.5f, 1e-6f);
        EXPECT_NEAR(v.y, v.v - 0.5f, 1e-6f);
    }

    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    auto draw = [](const GeoxMesh& mesh) {
        LeafBatch batch;
        batch.Prepare(mesh, 300);
        Clear();
        batch.Begin();
        for (int i = 0; i < 300; ++i) {
            GlMatrix m;
            m.Translate(std::sin(i * 0.37f) * 40, std::cos(i * 0.23f) * 25, std::sin(i * 0.11f) * 30);
            m.Rotate(i * 23.0f, 0.7259231f, 1, 0.52389467f);
            m.Scale(4.0f + i % 20, 1, 4.0f + i % 20);
            batch.Add(m);
        }
        batch.Draw();
        return ReadFrameRgb();
    };
    glColor4f(1, 1, 1, 0.75f);
    const std::vector<uint8_t> whole = draw(leaf);
    const std::vector<uint8_t> cut = draw(cropped);
    // A cut through the ember itself, to show the comparison sees a wrong rectangle.
    const std::vector<uint8_t> tooSmall = draw(CropLeafToTexture(leaf, {0.45f, 0.45f, 0.55f, 0.55f}));
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    // Leaves seen edge-on or only a few pixels wide sample the coarse mip levels, whose alpha
    // spreads a little past the rectangle: a faint fringe, nothing more.
    auto compare = [&](const std::vector<uint8_t>& other, double& mean, size_t& off) {
        double total = 0;
        off = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            const int difference = std::abs(int(whole[i]) - int(other[i]));
            total += difference;
            off += difference > 12;
        }
        mean = total / whole.size();
    };
    double mean = 0;
    size_t off = 0;
    compare(cut, mean, off);
    EXPECT_LT(mean, 0.2) << "the cut leaves draw the same picture";
    EXPECT_LT(off, whole.size() / 1000);
    compare(tooSmall, mean, off);
    EXPECT_GT(off, whole.size() / 100) << "a rectangle through the ember changes the picture";
    DeleteTexture(texture);
}

TEST(LeafCrop, OnlyAFlatFourCorneredLeafOverTheWholeSquareIsCut)
{
    GeoxMesh triangle = UnitQuad();
    triangle.vertices.pop_back();
    triangle.triangles.pop_back();
    EXPECT_EQ(CropLeafToTexture(triangle, {0.25f, 0.25f, 0.75f, 0.75f}).vertices[0].u, 0.0f);

    GeoxMesh bent = UnitQuad();
    bent.vertices[3].z = 0.3f; // one corner out of the leaf's plane
    EXPECT_EQ(CropLeafToTexture(bent, {0.25f, 0.25f, 0.75f, 0.75f}).vertices[0].u, 0.0f);

    GeoxMesh half = UnitQuad();
    half.vertices[1].u = 0.5f; // maps only part of the texture
    EXPECT_EQ(CropLeafToTexture(half, {0.25f, 0.25f, 0.75f, 0.75f}).vertices[1].u, 0.5f);
}

TEST_F(BatchTest, LeavesWhollyOutsideTheRegionAreLeftOut)
{
    const GeoxMesh leaf = UnitQuad();
    LeafBatch batch;
    batch.Prepare(leaf, 4);
    // Upright leaves, one at the middle of the view, one near its top edge, above a region
    // that stops at 0.75 up.
    auto upright = [](float x, float y) {
        GlMatrix m;
        m.Translate(x, y, 0);
        m.Rotate(90, 1, 0, 0);
        return m;
    };
    // The camera looks from (0, 20, -60) at the origin: at x 0, z 0 the heights 25.2 to 32.3
    // lie between 0.75 and 1 up.
    batch.Begin(PictureBandRegion);
    batch.Add(upright(0, 0));
    batch.Add(upright(0, 29));
    batch.Draw();
    EXPECT_EQ(batch.Added(), 2);
    EXPECT_EQ(batch.Sent(), 1);
    batch.Begin();
    batch.Add(upright(0, 0));
    batch.Add(upright(0, 29));
    batch.Draw();
    EXPECT_EQ(batch.Sent(), 2) << "without a region only the view's own edges count";
}

} // namespace
