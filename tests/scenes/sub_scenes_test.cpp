// The water, cup, stair, sphere and sub scenes on the generated data set: light spheres, the
// stair's leaves, the sphere's pulse and its slot in the timeline, frames that allocate
// nothing, and golden frames of each drawn alone. (Their loads are counted in tests/loads:
// loading again redraws the tables these pictures are made of.)
#include "gl/gl.h"
#include "render/gl_matrix.h"
#include "resources/globaldata.h"
#include "scenes/light_sphere.h"
#include "scenes/scene_sphere.h"
#include "scenes/scene_stair.h"
#include "timeline/scene_factory.h"
#include "support/driver_gl.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<long> g_allocations{0};

} // namespace

namespace {

void* CountedAllocation(std::size_t size) noexcept
{
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

// Every allocation of this test program is counted, so a test can see a frame allocate. Every
// form of new and delete is replaced, the ones code in other libraries calls included (the GL
// driver's compiler uses the nothrow new), so all of them pair malloc with free; a form left to
// the runtime would hand free memory from another allocator. The compiler cannot see that the
// replacements belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (void* memory = CountedAllocation(size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* memory = CountedAllocation(size)) return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAllocation(size);
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

namespace {

class SubScenes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

// Band rows lie between the letterbox bars (60 .. 420).
double BandBrightness(const std::vector<uint8_t>& frame)
{
    return MeanBrightness(frame, 40, 80, 600, 400);
}

double FileArea(const GeoxMesh& mesh)
{
    double area = 0;
    for (const GeoxTriangle& t : mesh.triangles) {
        const GeoxVertex &a = mesh.vertices[t.i0], &b = mesh.vertices[t.i1], &c = mesh.vertices[t.i2];
        area += std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
    }
    return area;
}

TEST_F(SubScenes, LightSpheresOfCutPlanesDrawThePictureOfWholePlanes)
{
    const GLuint texture = FindTexture(GlobalTextures, "lightsphere");
    const GeoxMesh cut = LitPartOfPlane(texture);
    EXPECT_LT(FileArea(cut), 0.4 * FileArea(PlaneMesh)) << "the glow's octagon is a small part of the plane";
    auto draw = [texture](const GeoxMesh& plane) {
        glViewport(0, 0, 640, 480);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.1f, 0.2f, 0.3f, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        MultiplyFrustum(-0.1, 0.1, -0.075, 0.075, 0.1, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -22);
        glRotatef(70, 1, 0, 0);
        glDisable(GL_DEPTH_TEST);
        glColor4f(1, 1, 1, 1);
        BindTextureId(texture);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        for (int i = 0; i < 6; ++i) {
            glRotatef(57.0f * i + 10, 1, 0.7f, 1.2f);
            DrawGeoxTextured(plane);
        }
        glDisable(GL_BLEND);
        return ReadFrameRgb();
    };
    const std::vector<uint8_t> whole = draw(PlaneMesh), part = draw(cut);
    int worst = 0;
    for (size_t i = 0; i < whole.size(); ++i) worst = std::max(worst, std::abs(int(whole[i]) - int(part[i])));
    EXPECT_LE(worst, 2);
    EXPECT_GT(MeanBrightness(part, 300, 220, 340, 260), 0.2 * 255 + 100) << "the glow is in the picture";
}

TEST(SpherePulse, BlackAtTheStartOfEveryEighthLitAQuarterIn)
{
    const SpherePulse start = SpherePulseAt(0);
    EXPECT_EQ(start.e, 0.0f);
    EXPECT_EQ(start.pulsedTime, 0.0f);
    EXPECT_EQ(start.fadeAlpha, 0.0f);
    EXPECT_EQ(start.glowTint, 0.0f);
    EXPECT_EQ(start.cameraFraction, 0.0f);

    const SpherePulse quarter = SpherePulseAt(1.0f / 32);
    EXPECT_EQ(quarter.e, 0.25f);
    EXPECT_NEAR(quarter.pulsedTime, 1.0 / 32 - 1.0 / 60, 1e-7);
    EXPECT_NEAR(quarter.fadeAlpha, std::sin(M_PI * std::sqrt(8 * (1.0 / 32 - 1.0 / 60))), 1e-5);
    EXPECT_NEAR(quarter.fadeAlpha, 0.879, 5e-4);
    EXPECT_FLOAT_EQ(quarter.glowTint, 0.375f);
    EXPECT_NEAR(quarter.cameraFraction, 0.8 * (1.0 / 32 - 1.0 / 60) + 0.25 / 45, 1e-6);

    const SpherePulse half = SpherePulseAt(0.5f);
    EXPECT_EQ(half.e, 0.0f);
    EXPECT_EQ(half.pulsedTime, 0.5f);
    EXPECT_EQ(half.fadeAlpha, 0.0f);
    EXPECT_FLOAT_EQ(half.cameraFraction, 0.4f);

    // The pulsed time never runs backwards past 0 and the camera stays below 0.83 of its path.
    for (int i = 0; i < 1000; ++i) {
        const SpherePulse pulse = SpherePulseAt(i / 1000.0f);
        EXPECT_GE(pulse.pulsedTime, 0.0f);
        EXPECT_LT(pulse.cameraFraction, 0.83f);
    }
}

TEST_F(SubScenes, TheSphereOpensItsSlotInBlackAndIsLitAQuarterIntoTheEighth)
{
    // Only the grain, the vignette and their glow lie over the black of p0 = 0. Lit, the core
    // glows in the middle of a leaf cloud that leaves much of the band dark: well over twice
    // as bright as the black, which an unlit frame never is.
    const double black = BandBrightness(RenderFrameAt(18112));
    EXPECT_LT(black, 20.0);
    EXPECT_GT(BandBrightness(RenderFrameAt(18678)), 2 * black);
}

TEST_F(SubScenes, StairLeavesFallFasterDownTheTableAndStartAtTheirPhase)
{
    EXPECT_EQ(StairLeafSpeed(0), 1.0f);
    EXPECT_EQ(StairLeafSpeed(1250), 2.5f);
    EXPECT_EQ(StairLeafSpeed(2500), 4.0f);
    for (int i : {0, 1, 2, 1250, 2499, 2500}) {
        const StairLeaf& leaf = StairLeafAt(i);
        EXPECT_LE(std::fabs(leaf.x), 125.0f);
        EXPECT_LE(std::fabs(leaf.z), 125.0f);
        EXPECT_GE(leaf.phase, 0.0f);
        EXPECT_LT(leaf.phase, 1.0f);
        // At p = 0: at height 300 - 400 phase, rocked by 72 sin(6 pi phase) and spun by 360 phase,
        // even leaves one way, odd leaves the other.
        GlMatrix expected;
        expected.Translate(leaf.x, 300 - 400 * leaf.phase, leaf.z);
        expected.Scale(10, 10, 10);
        expected.Rotate(72 * std::sin(6 * static_cast<float>(M_PI) * leaf.phase), 1, 0, 0.8f);
        expected.Rotate(360 * leaf.phase, 0, i % 2 == 0 ? 1.0f : -1.0f, 0);
        const GlMatrix placed = StairLeafPlacement(i, 0);
        for (int k = 0; k < 16; ++k) EXPECT_NEAR(placed.m[k], expected.m[k], 1e-3) << "leaf " << i << " entry " << k;
    }
    // Later on every leaf is somewhere on its way down, never above 300 or below -100.
    for (float p : {0.3f, 0.77f, 0.9999f})
        for (int i = 0; i < StairLeafCount; ++i) {
            const float height = StairLeafPlacement(i, p).m[13];
            ASSERT_LE(height, 300.0f) << i << " at " << p;
            ASSERT_GT(height, -100.0f) << i << " at " << p;
        }
}

TEST_F(SubScenes, NoFrameAllocates)
{
    for (const char* scene : {"waterover", "waterunder", "waterfilled", "cup", "cuptwo", "stair", "sphere",
                              "subbaken", "subself"}) {
        lum_genericscene* object = FindSceneObject(scene);
        // Two frames first: the graphics driver compiles a program for every new combination
        // of state it meets (the second water frame starts with the depth function the first
        // one left), and that compiler allocates.
        object->Render(object->StartTime + 3000);
        object->Render(object->StartTime + 4000);
        const long before = g_allocations.load();
        object->Render(object->StartTime + 9000);
        EXPECT_EQ(g_allocations.load() - before, 0) << scene;
    }
}

} // namespace
