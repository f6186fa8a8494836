// The landscape scenes (season, baken, atom, grass) and giorl: the random draws of their
// loads, the formulas a wrong constant would break, and their pictures at the edges and in
// the middle of their spans.
#include "base/gl.h"
#include "base/piece_schedule.h"
#include "capture/shot.h"
#include "render/lum_frame.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_atom.h"
#include "scenes/scene_baken.h"
#include "scenes/scene_giorl.h"
#include "scenes/scene_season.h"
#include "timeline/scene_factory.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr const ScheduledScene& kSeason = *FindScheduledScene("season");
constexpr const ScheduledScene& kBaken = *FindScheduledScene("baken");
constexpr const ScheduledScene& kAtom = *FindScheduledScene("atom");
constexpr const ScheduledScene& kGiorl = *FindScheduledScene("giorl");

int32_t Middle(const ScheduledScene& scene)
{
    return (scene.startMs + scene.endMs) / 2;
}

// The picture band between the letterbox bars, a little inside the vignette's corners.
double BandBrightness(const std::vector<uint8_t>& frame)
{
    return MeanBrightness(frame, 40, 80, 600, 400);
}

// How far the band's pixels spread around their mean: a flat or empty picture is near 0.
double BandSpread(const std::vector<uint8_t>& frame)
{
    const double mean = BandBrightness(frame);
    double sum = 0;
    int count = 0;
    for (int y = 80; y < 400; y += 2)
        for (int x = 40; x < 600; x += 2) {
            const uint8_t* p = &frame[(static_cast<size_t>(y) * 640 + x) * 3];
            const double d = (p[0] + p[1] + p[2]) / 3.0 - mean;
            sum += d * d;
            ++count;
        }
    return std::sqrt(sum / count);
}

// Pixels of the band whose channels differ by more than 40: coloured, not grey.
int ColouredPixels(const std::vector<uint8_t>& frame)
{
    int coloured = 0;
    for (int y = 80; y < 400; y += 2)
        for (int x = 40; x < 600; x += 2) {
            const uint8_t* p = &frame[(static_cast<size_t>(y) * 640 + x) * 3];
            const int high = std::max({p[0], p[1], p[2]}), low = std::min({p[0], p[1], p[2]});
            coloured += high - low > 40;
        }
    return coloured;
}

// Pixels of the band in a pure colour that no scene shows, as the finishing leaves it: the two
// channels of `high` above 150, the third below 90.
int PurePixels(const std::vector<uint8_t>& frame, bool redHigh, bool greenHigh, bool blueHigh)
{
    const bool high[3] = {redHigh, greenHigh, blueHigh};
    int pure = 0;
    for (int y = 80; y < 400; ++y)
        for (int x = 40; x < 600; ++x) {
            const uint8_t* p = &frame[(static_cast<size_t>(y) * 640 + x) * 3];
            bool matches = true;
            for (int c = 0; c < 3; ++c) matches = matches && (high[c] ? p[c] > 150 : p[c] < 90);
            pure += matches;
        }
    return pure;
}

int MagentaPixels(const std::vector<uint8_t>& frame)
{
    return PurePixels(frame, true, false, true);
}

int GreenPixels(const std::vector<uint8_t>& frame)
{
    return PurePixels(frame, false, true, false);
}

class LandscapeScenes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_F(LandscapeScenes, LoadsDrawTheirPlacementsInOrder)
{
    // The field: three draws for the place of each tuft, four for each tree, three for each
    // tuft's height and turn.
    const int field = 3 * 4501 + 4 * 16 + 3 * 4501;
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("season")->Load(); }), field);
    // Angle, two for the radius and the phase of each falling leaf.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("baken")->Load(); }), 4 * 2501 + field);
    // Three per shake offset, three per rising leaf, 24 for the six spare records.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("atom")->Load(); }), 3 * 1000 + 3 * 3501 + 24 + field);
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("grass")->Load(); }), field);
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("giorl")->Load(); }), 3 * 11001);
}

TEST(LandscapeFormulas, FadesAreBlackAtTheStartAndOpenMostInTheMiddle)
{
    EXPECT_EQ(SeasonFade(0.0f), 0.0f);
    EXPECT_NEAR(SeasonFade(0.5f), 0.65f, 1e-6f);
    EXPECT_EQ(BakenFade(0.0f), 0.0f);
    EXPECT_NEAR(BakenFade(0.5f), 0.71f, 1e-6f);
    EXPECT_EQ(GiorlFade(0.0f), 0.0f);
    EXPECT_NEAR(GiorlFade(0.5f), 0.99f, 1e-6f);
    // sqrt(sin) opens faster than sin: a quarter in, season is past 84 % of its peak.
    EXPECT_GT(SeasonFade(0.25f), 0.84f * 0.65f);
    EXPECT_LT(BakenFade(0.25f), 0.71f * 0.71f);
}

TEST(LandscapeFormulas, TheWindowShowsColourWhileTheEyeIsInFrontOfItsPlane)
{
    EXPECT_TRUE(SeasonWindowShowsColour(0.0f));
    EXPECT_TRUE(SeasonWindowShowsColour(120.0f));
    EXPECT_FALSE(SeasonWindowShowsColour(-1e-6f));
    EXPECT_FALSE(SeasonWindowShowsColour(-300.0f));
}

TEST(LandscapeFormulas, BakenLeavesJoinLateAndSomeNever)
{
    // Nothing falls before p = 0.35, not even the last leaf with the largest phase.
    EXPECT_LT(BakenLeafCycle(0.3499f, 2500, 0.999999f), 0.0f);
    EXPECT_GE(BakenLeafCycle(0.3501f, 2500, 0.999999f), 0.0f);
    // Leaf 0 with phase 0.2 would need p = 1.1: never within the span.
    EXPECT_LT(BakenLeafCycle(std::nextafter(1.0f, 0.0f), 0, 0.2f), 0.0f);
    // Leaf 1250 with phase 0.5 joins at (2.4 - 0.5) / (2 * 1.5) = 0.6333.
    EXPECT_LT(BakenLeafCycle(0.633f, 1250, 0.5f), 0.0f);
    EXPECT_GT(BakenLeafCycle(0.634f, 1250, 0.5f), 0.0f);
}

TEST(LandscapeFormulas, AtomShakesWithOneOffsetPerThousandthOfTheSpan)
{
    EXPECT_EQ(AtomShakeIndex(0.0f), 0);
    EXPECT_EQ(AtomShakeIndex(0.5f), 500);
    EXPECT_EQ(AtomShakeIndex(0.0015f), 1);
    EXPECT_EQ(AtomShakeIndex(std::nextafter(1.0f, 0.0f)), 999);
}

TEST(LandscapeFormulas, OddAtomLeavesTiltTheirAxisByFortyFiveHundredths)
{
    const float p = 0.4f, phase = 0.3f;
    const AtomLeafTurn odd = AtomLeafTurnOf(p, 1001, phase);
    const float k = 1.0f + 2.12f * 1001.0f / 3500.0f;
    EXPECT_FLOAT_EQ(odd.angle, -(1.17f * p * k + phase) * 160.0f);
    EXPECT_FLOAT_EQ(odd.x, 0.7259231f);
    EXPECT_FLOAT_EQ(odd.y, 1.0f);
    EXPECT_FLOAT_EQ(odd.z, 0.52389467f * (1.0f + 2.12f * 1001.0f / 4500.0f));
    EXPECT_GT(std::fabs(odd.z - 0.52389467f * k), 0.05f);

    const AtomLeafTurn even = AtomLeafTurnOf(p, 1000, phase);
    const float evenK = 1.0f + 2.12f * 1000.0f / 3500.0f;
    EXPECT_FLOAT_EQ(even.angle, (1.17f * p * evenK + phase) * 160.0f);
    EXPECT_FLOAT_EQ(even.x, 0.7259231f * evenK);
    EXPECT_FLOAT_EQ(even.z, 0.52389467f);
}

TEST(GiorlFormulas, TheSwingPeaksAtOneThirtySecondAndIsUprightAtOneSixteenth)
{
    EXPECT_NEAR(GiorlSwingDegrees(0.0f), 0.0f, 1e-5f);
    EXPECT_NEAR(GiorlSwingDegrees(1.0f / 32.0f), 45.0f, 1e-4f);
    EXPECT_NEAR(GiorlSwingDegrees(1.0f / 16.0f), 0.0f, 1e-4f);
    EXPECT_NEAR(GiorlSwingDegrees(3.0f / 32.0f), -45.0f, 1e-4f);
}

TEST(GiorlFormulas, OnlyAMeshNamedExactlyTreeIsCutOut)
{
    EXPECT_TRUE(GiorlMeshIsAlphaTested("tree"));
    EXPECT_FALSE(GiorlMeshIsAlphaTested("trees"));
    EXPECT_FALSE(GiorlMeshIsAlphaTested("treebark"));
    EXPECT_FALSE(GiorlMeshIsAlphaTested("tre"));
    EXPECT_FALSE(GiorlMeshIsAlphaTested(""));
}

TEST(GiorlFormulas, LaterLeavesFallUpToFourTimesFaster)
{
    const float end = std::nextafter(1.0f, 0.0f);
    // Leaf 0 sinks by a sixth of the 35-unit drop over the span, the last leaf by two thirds.
    EXPECT_FLOAT_EQ(GiorlLeafHeight(0.0f, 0, 0.0f), 40.0f);
    EXPECT_NEAR(GiorlLeafHeight(end, 0, 0.0f), 40.0f - 35.0f / 6.0f, 1e-3f);
    EXPECT_NEAR(GiorlLeafHeight(end, GiorlLeafCount - 1, 0.0f), 40.0f - 35.0f * 4.0f / 6.0f, 1e-3f);
    // Past height 5 a leaf wraps back to the top.
    EXPECT_NEAR(GiorlLeafHeight(0.0f, 0, 0.999f), 40.0f - 35.0f * 0.999f, 1e-3f);
    EXPECT_NEAR(GiorlLeafHeight(0.06f, 0, 0.999f), 40.0f - 35.0f * (0.01f + 0.999f - 1.0f), 1e-3f);
}

TEST_F(LandscapeScenes, TheGrassFieldDrawsEveryTuftThatCanShow)
{
    static LandscapeField field;
    BuildLandscapeField(field);
    const GLuint grass = FindTexture(GlobalTextures, "grass");
    auto draw = [&](const CameraRecord& camera, bool everyChunk) {
        ApplyCamera(camera);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glColor4f(1, 1, 1, 1);
        BindTextureId(grass);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
        if (everyChunk)
            DrawMeshRange(field.grassBuffers, 0, field.grassBuffers.indexCount);
        else
            DrawGrassField(field);
        glDisable(GL_ALPHA_TEST);
        return ReadFrameTopDown();
    };
    // In the field at grass height looking along it, at a corner looking along its edge (half
    // the view outside the field), and high above it looking down.
    const CameraRecord cameras[] = {{60, -30, -15, -40, 100, -12, 60, 0, 1, 0},
                                    {66, 390, -14, -395, 390, -12, 400, 0, 1, 0},
                                    {50, 0, 300, -200, 0, -24, 0, 0, 1, 0}};
    for (const CameraRecord& camera : cameras) {
        const auto all = draw(camera, true);
        const auto culled = draw(camera, false);
        EXPECT_GT(MeanBrightness(all, 0, 0, 640, 480), 1.0) << "the view holds some grass";
        size_t differing = 0;
        for (size_t i = 0; i < all.size(); ++i) differing += all[i] != culled[i];
        EXPECT_LT(differing, all.size() / 2000) << "camera at " << camera.eyeX << ", " << camera.eyeZ;
    }
}

TEST_F(LandscapeScenes, SpansOpenFromBlackOrWhite)
{
    // Season fades from black after the grain: the band is black.
    EXPECT_LT(BandBrightness(RenderFrameAt(kSeason.startMs)), 1.0);
    // Giorl fades to black before the letterbox, so only the grain and its scratches show
    // over it (and the glow doubles them).
    EXPECT_LT(BandBrightness(RenderFrameAt(kGiorl.startMs)), 20.0);
    // Atom comes out of white.
    EXPECT_GT(BandBrightness(RenderFrameAt(kAtom.startMs)), 200.0);
}

TEST_F(LandscapeScenes, MidSpansAreFullOfPicture)
{
    for (const ScheduledScene* scene : {&kSeason, &kBaken, &kAtom, &kGiorl}) {
        const auto frame = RenderFrameAt(Middle(*scene));
        EXPECT_GT(BandBrightness(frame), 25.0) << scene->name;
        EXPECT_GT(BandSpread(frame), 15.0) << scene->name << " is flat";
    }
    // Baken's landscape and giorl's sky are in colour; season shows both looks.
    EXPECT_GT(ColouredPixels(RenderFrameAt(Middle(kBaken))), 2000);
    EXPECT_GT(ColouredPixels(RenderFrameAt(Middle(kGiorl))), 2000);
}

TEST_F(LandscapeScenes, TheSameFrameTwiceIsTheSamePicture)
{
    const int32_t ms = Middle(kGiorl) + 517;
    EXPECT_EQ(RenderFrameAt(ms), RenderFrameAt(ms));
    EXPECT_EQ(RenderSceneAt("grass", 41000), RenderSceneAt("grass", 41000));
}

TEST_F(LandscapeScenes, SeasonEqualsItsFrameWithTheWorldBehindTheWindowWholeUnderAClosedOrAnOpenSky)
{
    auto* season = dynamic_cast<tscene_season*>(FindSceneObject("season"));
    ASSERT_NE(season, nullptr);
    // Times across the flight, the passage through the window plane (where the worlds swap)
    // included.
    auto expectSamePictures = [&](const char* sky) {
        for (int step = 0; step < 12; ++step) {
            const int32_t ms = kSeason.startMs + 700 + step * (kSeason.endMs - kSeason.startMs - 1400) / 11;
            SetNoiseTickCount(static_cast<uint32_t>(ms));
            season->RenderWithTheFirstWorldWhole(ms);
            const std::vector<uint8_t> whole = ReadFrameTopDown();
            season->Render(ms);
            EXPECT_EQ(ReadFrameTopDown(), whole) << sky << " sky at " << ms << " ms";
        }
    };
    expectSamePictures("the generated");
    const std::vector<uint8_t> closed = RenderFrameAt(Middle(kSeason));

    // A sky sphere without its upper half, and colour trees cut out of nothing (their alpha
    // opaque) while the black-and-white ones keep their shape: above the horizon the second
    // world leaves the band open around the trees, where the first world's show.
    const GeoxMesh sphere = SphereMesh;
    std::vector<GeoxTriangle> lower;
    for (const GeoxTriangle& triangle : sphere.triangles)
        if (sphere.vertices[triangle.i0].z + sphere.vertices[triangle.i1].z + sphere.vertices[triangle.i2].z < 0)
            lower.push_back(triangle);
    {
        SphereMesh.triangles = lower;
        SphereMesh.triangleCount = static_cast<int32_t>(lower.size());
        const ChangedTexture opaqueTrees(FindTexture(GlobalTextures, "tree"), [](int, int, std::vector<uint8_t>& rgba) {
            for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
        });
        season->PrepareDrawing();
        expectSamePictures("an open");
        EXPECT_NE(RenderFrameAt(Middle(kSeason)), closed);
        SphereMesh = sphere;
    }
    season->PrepareDrawing();
    EXPECT_EQ(RenderFrameAt(Middle(kSeason)), closed);
}

// The falling leaves of baken and giorl are cut out of their quads by the alpha test with
// GREATER 0.5: the leaf (its opaque texels) shows, its transparent surround does not; LESS
// would draw the surround and cut the leaf out of it. Told apart with leaf5 painted as an
// opaque magenta disc in a transparent green surround.
TEST_F(LandscapeScenes, FallingLeavesShowTheLeafAndNotItsTransparentSurround)
{
    const auto discLeaf = [](int width, int height, std::vector<uint8_t>& rgba) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = (x + 0.5) / width - 0.5, dy = (y + 0.5) / height - 0.5;
                const bool leaf = dx * dx + dy * dy < 0.3 * 0.3;
                uint8_t* texel = &rgba[(static_cast<size_t>(y) * width + x) * 4];
                texel[0] = leaf ? 255 : 0;
                texel[1] = leaf ? 0 : 255;
                texel[2] = leaf ? 255 : 0;
                texel[3] = leaf ? 255 : 0;
            }
    };
    for (const ScheduledScene* scene : {&kBaken, &kGiorl}) {
        const int32_t ms = scene->startMs + (scene->endMs - scene->startMs) * 4 / 5;
        const std::vector<uint8_t> original = RenderFrameAt(ms);
        EXPECT_EQ(MagentaPixels(original) + GreenPixels(original), 0) << scene->name << " shows the test's colours";
        const ChangedTexture leaf(FindTexture(GlobalTextures, "leaf5"), discLeaf);
        const std::vector<uint8_t> disc = RenderFrameAt(ms);
        // Thousands of leaf pixels are magenta (baken about 5500, giorl 33000; the surround
        // would be 28000 and 107000 green).
        EXPECT_GT(MagentaPixels(disc), 2000) << scene->name << ": the leaves show";
        EXPECT_EQ(GreenPixels(disc), 0) << scene->name << ": their surround shows";
    }
}

} // namespace
