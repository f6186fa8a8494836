// The batches that stand in for thousands of small GL draws: the processor-side matrix against
// GL's own matrix stack, the leaf batch against one glCallList per leaf, and a load-time mesh
// batch against the nested draws it replaces, compared on the real frame.
#include "render/gl_matrix.h"
#include "render/leaf_batch.h"
#include "render/mesh_batch.h"

#include "base/gl.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texture;
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
    glDisable(GL_ALPHA_TEST);

    EXPECT_EQ(batch.Added(), kLeaves);
    EXPECT_LT(batch.Sent(), kLeaves) << "the leaves far to the side are left out";
    EXPECT_GT(batch.Sent(), kLeaves / 2);
    EXPECT_LT(Differing(perLeaf, batched), perLeaf.size() / 2000) << "the same leaves in the same places";
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], grey(kLeaves - 1)) << "the last leaf's colour stays current";
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    glDeleteTextures(1, &texture);
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

} // namespace
