// The pond both water scenes draw: the wave, the heights it writes into the moved copy of the
// water-leaf meshes, where the leaves float, what a pond without leaves draws, and the water
// scenes' frames on the generated data.
#include "gl/gl.h"
#include "resources/globaldata.h"
#include "scenes/pond.h"
#include "timeline/scene_factory.h"
#include "support/driver_gl.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr float Pi = 3.14159265358979f;

TEST(Wave, SumsTwoSinesOfTheQuarterPositionsMovingWithTime)
{
    EXPECT_EQ(WaveHeight(0, 0, 0, 0.23f), 0.0f);
    EXPECT_NEAR(WaveHeight(2 * Pi, Pi, 0, 0.23f), 0.23 * (1 + std::sqrt(0.5)), 1e-6);
    EXPECT_NEAR(WaveHeight(4, 0, 0, 1), std::sin(1.0), 1e-6);
    EXPECT_NEAR(WaveHeight(0, 4, 0, 1), std::sin(1.0), 1e-6);
    EXPECT_NEAR(WaveHeight(0, 0, 0.01f, 0.42f), 0.42 * (std::sin(0.4) + std::sin(0.35)), 1e-6);
    EXPECT_NEAR(WaveHeight(1, 2, 0.5f, 2), 2 * (std::sin(0.25 + 20) + std::sin(0.5 + 17.5)), 1e-5);
}

// A square of file positions around (cx, cy) at height z, cut into cells x cells quads.
GeoxMesh Grid(float cx, float cy, float half, float z, int cells)
{
    GeoxMesh mesh;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i) {
            const float x = cx - half + 2 * half * i / cells, y = cy - half + 2 * half * j / cells;
            mesh.vertices.push_back({x, y, z, 0.5f + x / 32, 0.5f + y / 32, 0, 0, 0});
        }
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            const int a = j * (cells + 1) + i, b = a + 1, c = a + cells + 1, d = c + 1;
            mesh.triangles.push_back({a, b, d, 0, 0, 0});
            mesh.triangles.push_back({a, d, c, 0, 0, 0});
        }
    mesh.vertexCount = static_cast<int32_t>(mesh.vertices.size());
    mesh.triangleCount = static_cast<int32_t>(mesh.triangles.size());
    return mesh;
}

GeoxList ListOf(std::vector<GeoxMesh> meshes)
{
    GeoxList list;
    list.count = static_cast<int32_t>(meshes.size());
    list.names.assign(meshes.size(), "entry");
    list.filteredNames.assign(meshes.size(), "entry");
    list.meshes = std::move(meshes);
    return list;
}

// A pond of 4 x 4 cells over file x and y -8 .. 8, with `leaves` leaves of one cell (leaf 1
// centred at x = 2 pi, depth pi), in place of the generated water leaves while a test runs.
class SmallPond : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
    void TearDown() override
    {
        if (!m_installed) return;
        std::swap(WaterLeafsList, m_list);
        std::swap(WaterLeafsMoved, m_moved);
        std::copy(std::begin(m_centres), std::end(m_centres), WaterLeafCentres);
        PreparePond();
    }
    void Install(int leaves)
    {
        std::vector<GeoxMesh> meshes{Grid(0, 0, 8, 0, 4)};
        for (int i = 0; i < leaves; ++i) meshes.push_back(Grid(2 * Pi + 3 * i, Pi, 0.5f, 0, 1));
        m_list = ListOf(meshes);
        m_moved = ListOf(meshes);
        std::copy(std::begin(WaterLeafCentres), std::end(WaterLeafCentres), m_centres);
        std::swap(WaterLeafsList, m_list);
        std::swap(WaterLeafsMoved, m_moved);
        ComputeWaterLeafCentres(WaterLeafsList, "small pond");
        PreparePond();
        m_installed = true;
    }

private:
    bool m_installed = false;
    GeoxList m_list, m_moved; // the generated lists while the small pond is in place
    Float3 m_centres[WaterLeafCapacity];
};

struct Polygon {
    std::vector<Float3> corners; // object space
};

// The polygons GL is sent while `draw` runs, caught in feedback mode under an orthographic
// view of the cube +-20, so window coordinates map straight back to object space.
std::vector<Polygon> PolygonsDrawnBy(const std::function<void()>& draw)
{
    constexpr float Extent = 20;
    std::vector<GLfloat> buffer(1 << 18);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-Extent, Extent, -Extent, Extent, -Extent, Extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLint used = FeedbackDuring(FeedbackThreeD, buffer.data(), static_cast<GLsizei>(buffer.size()), draw);
    EXPECT_GE(used, 0) << "the feedback buffer overflowed";
    std::vector<Polygon> polygons;
    for (GLint at = 0; at < used;) {
        const GLint token = static_cast<GLint>(buffer[at++]);
        if (token != FeedbackPolygonToken) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        Polygon polygon;
        for (int corners = static_cast<int>(buffer[at++]); corners > 0; --corners, at += 3)
            polygon.corners.push_back({(buffer[at] / 320 - 1) * Extent, (buffer[at + 1] / 240 - 1) * Extent,
                                       -(2 * buffer[at + 2] - 1) * Extent});
        polygons.push_back(polygon);
    }
    return polygons;
}

TEST_F(SmallPond, SurfaceAndShadowsAreLiftedFromTheRestShapeOnly)
{
    Install(1);
    GeoxMesh& surface = WaterLeafsMoved.meshes[0];
    for (GeoxVertex& vertex : surface.vertices) vertex.z = 100;
    LiftWaterSurface(0, 0.23f);
    for (size_t j = 0; j < surface.vertices.size(); ++j) {
        const GeoxVertex& rest = WaterLeafsList.meshes[0].vertices[j];
        EXPECT_EQ(surface.vertices[j].x, rest.x);
        EXPECT_EQ(surface.vertices[j].y, rest.y);
        EXPECT_NEAR(surface.vertices[j].z, 5 * 0.23 * (std::sin(rest.x / 4.0) + std::sin(rest.y / 4.0)), 1e-5);
    }
    EXPECT_EQ(surface.vertices[12].x, 0.0f); // the middle of the grid
    EXPECT_EQ(surface.vertices[12].z, 0.0f);

    const std::vector<GeoxVertex> atRest = surface.vertices;
    LiftWaterSurface(0.3f, 0.23f);
    LiftWaterSurface(0, 0.23f);
    for (size_t j = 0; j < atRest.size(); ++j) EXPECT_EQ(surface.vertices[j].z, atRest[j].z);

    PolygonsDrawnBy([] { DrawLeafShadows(0.1f, 0.42f); });
    for (const GeoxVertex& vertex : WaterLeafsMoved.meshes[1].vertices)
        EXPECT_NEAR(vertex.z, WaveHeight(vertex.x, vertex.y, 0.1f, 0.42f) + 0.08f, 1e-6);
}

TEST_F(SmallPond, ALeafFloatsOnTheWaveUnderItsCentre)
{
    Install(1);
    EXPECT_NEAR(WaterLeafCentres[1].x, 2 * Pi, 1e-5);
    EXPECT_NEAR(WaterLeafCentres[1].z, Pi, 1e-5);
    for (const float w : {0.0f, 0.1f}) {
        const std::vector<Polygon> drawn = PolygonsDrawnBy([w] { DrawFloatingLeaves(w, 0.23f); });
        ASSERT_EQ(drawn.size(), 2u) << "one leaf of two triangles";
        const double height = 0.23 * (std::sin(Pi / 2 + 40.0 * w) + std::sin(Pi / 4 + 35.0 * w)) + 0.16;
        for (const Polygon& polygon : drawn)
            for (const Float3& corner : polygon.corners) {
                EXPECT_NEAR(corner.y, height, 1e-3) << "w " << w;
                EXPECT_NEAR(corner.x, 2 * Pi, 0.51);
                EXPECT_NEAR(corner.z, Pi, 0.51);
            }
    }
}

TEST_F(SmallPond, WithoutLeavesOnlyTheSurfaceAndItsReflectionAreDrawn)
{
    Install(0);
    const std::vector<Polygon> drawn = PolygonsDrawnBy([] {
        LiftWaterSurface(0.2f, 0.23f);
        DrawWaterSurface(0.8f, GL_ONE_MINUS_SRC_ALPHA);
        RenormaliseWaterSurface();
        DrawSkyReflection(0.35f);
        DrawLeafShadows(0.2f, 0.23f);
        DrawFloatingLeaves(0.2f, 0.23f);
    });
    ASSERT_EQ(drawn.size(), 2 * 32u);
    for (const Polygon& polygon : drawn)
        for (const Float3& corner : polygon.corners) {
            EXPECT_LE(std::fabs(corner.x), 8.001f);
            EXPECT_LE(std::fabs(corner.z), 8.001f);
            EXPECT_LE(std::fabs(corner.y), 0.2f * 5 * 0.23f * 2 + 1e-3f) << "drawn at a fifth of the stored height";
        }
    // Both scenes draw the rest of their frame around it.
    FindSceneObject("waterover")->Render(40000);
    FindSceneObject("waterunder")->Render(40000);
}

TEST_F(SmallPond, AnEmptyFolderDrawsNoWaterAndStillLeavesTheStateOfTheDrawing)
{
    Install(0);
    WaterLeafsList = ListOf({});
    WaterLeafsMoved = ListOf({});
    PreparePond();
    EXPECT_EQ(PondMeshCount(), 0);
    for (const char* scene : {"waterover", "waterunder"}) {
        glDepthFunc(GL_LESS);
        glColor4f(0.3f, 0.4f, 0.5f, 0.6f);
        FindSceneObject(scene)->Render(40000);
        GLint depthFunction = 0;
        glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
        EXPECT_EQ(depthFunction, GL_LEQUAL) << scene;
        // The reflection sets the colour white last, surface or not.
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), (std::vector<GLfloat>{1, 1, 1, 1})) << scene;
    }
}

class WaterScenes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_F(WaterScenes, AFrameDependsOnItsTimeAloneAndLeavesLessOrEqualDepth)
{
    for (const char* scene : {"waterover", "waterunder"}) {
        glDepthFunc(GL_LESS);
        RenderSceneAt(scene, 30000);
        GLint depthFunction = 0;
        glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
        EXPECT_EQ(depthFunction, GL_LEQUAL) << scene;
        // From here on every frame draws with GL_LEQUAL, as in the piece after the first
        // water frame.
        const std::vector<uint8_t> first = RenderSceneAt(scene, 30000);
        const std::vector<uint8_t> later = RenderSceneAt(scene, 70000);
        EXPECT_NE(later, first) << scene << " stands still";
        EXPECT_EQ(RenderSceneAt(scene, 30000), first) << scene << " depends on the frame before";
    }
}

} // namespace
