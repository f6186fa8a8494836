// Frame effects: the blur's integer passes, the glow chain on the real frame, text
// geometry, the finishing steps and the GL state each leaves.
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_views.h"

#include "app/glwindow.h"
#include "gl/gl.h"
#include "platform/ticks.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"
#include "support/driver_gl.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <tuple>
#include <vector>

namespace {

using CornerImage = unsigned char[BlurImageBytes];

unsigned char& At(CornerImage& image, int row, int pixel, int channel)
{
    return image[row * BlurRowBytes + pixel * 3 + channel];
}

// A pattern with no two neighbouring bytes alike.
void FillPattern(CornerImage& image)
{
    for (int i = 0; i < BlurImageBytes; ++i) image[i] = static_cast<unsigned char>((i * 37 + i / 384 * 11) % 251);
}

TEST(BlurCornerPixels, WeightZeroKeepsTheImageAndFullWeightSpreadsTheFirstPixel)
{
    static CornerImage image, original;
    FillPattern(image);
    std::copy(std::begin(image), std::end(image), original);
    BlurCornerPixels(image, 0);
    EXPECT_TRUE(std::equal(std::begin(image), std::end(image), original));

    At(image, 0, 0, 0) = 10;
    At(image, 0, 0, 1) = 20;
    At(image, 0, 0, 2) = 250;
    BlurCornerPixels(image, 256);
    for (int row = 0; row < BlurSize; ++row)
        for (int pixel = 0; pixel < BlurSize; ++pixel)
            ASSERT_EQ(std::make_tuple(At(image, row, pixel, 0), At(image, row, pixel, 1), At(image, row, pixel, 2)),
                      std::make_tuple(10, 20, 250))
                << "row " << row << " pixel " << pixel;
}

// Weight 128 on a single bright value of 200, worked by hand. The first pass runs away from
// it: 200, 100, 50, 25, 12, 6, 3, 1, 0 (each (previous * 128 + own * 128) >> 8). The second
// runs back: p7 = (0 + 1) * 128 >> 8 = 0, p6 = (0 + 3) / 2 = 1, p5 = (1 + 6) / 2 = 3,
// p4 = (3 + 12) / 2 = 7, p3 = (7 + 25) / 2 = 16, p2 = (16 + 50) / 2 = 33,
// p1 = (33 + 100) / 2 = 66, p0 = (66 + 200) / 2 = 133 (all truncated).
constexpr std::array<int, 9> kSmoothedFromTwoHundred = {133, 66, 33, 16, 7, 3, 1, 0, 0};

TEST(BlurCornerPixels, HalfWeightAlongARowWorkedByHand)
{
    // Every row alike, so the vertical passes keep each column ((a * 256) >> 8 = a).
    static CornerImage image;
    std::fill(std::begin(image), std::end(image), 0);
    for (int row = 0; row < BlurSize; ++row) At(image, row, 0, 1) = 200;
    BlurCornerPixels(image, 128);
    for (int row = 0; row < BlurSize; row += 31)
        for (int pixel = 0; pixel < 9; ++pixel) {
            EXPECT_EQ(At(image, row, pixel, 1), kSmoothedFromTwoHundred[pixel]) << "pixel " << pixel;
            EXPECT_EQ(At(image, row, pixel, 0), 0);
            EXPECT_EQ(At(image, row, pixel, 2), 0);
        }
}

TEST(BlurCornerPixels, HalfWeightAlongAColumnWorkedByHand)
{
    // The lowest row alike everywhere, so the horizontal passes keep each row.
    static CornerImage image;
    std::fill(std::begin(image), std::end(image), 0);
    for (int k = 0; k < BlurRowBytes; ++k) image[k] = 200;
    BlurCornerPixels(image, 128);
    for (int row = 0; row < 9; ++row)
        for (int k = 0; k < BlurRowBytes; k += 50)
            EXPECT_EQ(image[row * BlurRowBytes + k], kSmoothedFromTwoHundred[row]) << "row " << row;
}

class FrameTest : public GlTest {
protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        if (FrameTexture == 0) CreateRenderTargets();
    }

    void SetUp() override
    {
        glViewport(0, 0, 640, 480);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
    }

    static void ClearFrame(float r, float g, float b)
    {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    static std::vector<uint8_t> BlurTexturePixels()
    {
        std::vector<uint8_t> pixels(BlurImageBytes);
        glBindTexture(GL_TEXTURE_2D, BlurTexture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // After the finishing steps: blending off, texturing on, depth test off, GL_MODELVIEW
    // selected with the overlay's identity and the overlay projection still in place.
    static void ExpectOverlayStateLeft()
    {
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLfloat projection[16], modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_FLOAT_EQ(projection[0], 2.0f / 640);
        EXPECT_FLOAT_EQ(projection[5], -2.0f / 480);
        EXPECT_FLOAT_EQ(projection[12], -1);
        EXPECT_FLOAT_EQ(projection[13], 1);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f);
    }

    static std::array<float, 4> CurrentColour()
    {
        std::array<float, 4> colour{};
        glGetFloatv(GL_CURRENT_COLOR, colour.data());
        return colour;
    }
};

TEST_F(FrameTest, RenderTargetsAreMadeInOrderWithTheirSizes)
{
    const GLuint inOrder[6] = {UnusedFrameTargets[0], UnusedFrameTargets[1], FrameTexture,
                               UnusedFrameTargets[2], CornerTexture,         BlurTexture};
    const int sizes[6][2] = {{1024, 512}, {1024, 512}, {1024, 512}, {1024, 512}, {256, 256}, {128, 128}};
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            EXPECT_GT(inOrder[i], inOrder[i - 1]);
        }
        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, inOrder[i]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, sizes[i][0]);
        EXPECT_EQ(height, sizes[i][1]);
    }
}

TEST_F(FrameTest, BlurCornerReadsTheBottomLeftOfTheReadFramebufferIntoBlurTexture)
{
    // Row 0 of the image is the lowest row of the framebuffer.
    static CornerImage corner;
    FillPattern(corner);
    glDisable(GL_TEXTURE_2D); // drawn pixels would be textured too
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    DrawPixelsAtOrigin(BlurSize, BlurSize, corner);

    BlurCorner(0);
    EXPECT_EQ(BlurTexturePixels(), std::vector<uint8_t>(std::begin(corner), std::end(corner)));

    BlurCorner(256);
    const std::vector<uint8_t> spread = BlurTexturePixels();
    for (int i = 0; i < BlurImageBytes; ++i) ASSERT_EQ(spread[i], corner[i % 3]) << "byte " << i;
}

TEST_F(FrameTest, GlowOfAUniformFrameAddsTheTintedBlur)
{
    // A uniform grey of 100 survives the shrinking and the blur unchanged
    // ((100 * w + 100 * (256 - w)) >> 8 = 100). Tint (0.5, 1, 1, 0.75): red
    // 100 * 0.5 * 0.25 + 100 * 0.75 + 100 * 0.5 = 137.5; green and blue 25 + 75 + 100 = 200.
    ClearFrame(100 / 255.0f, 100 / 255.0f, 100 / 255.0f);
    GlowPass(135, 0.5f, 1, 1, 0.75f);
    const std::vector<uint8_t> frame = ReadFrameRgb();
    for (size_t i = 0; i < frame.size(); i += 3 * 997) {
        EXPECT_NEAR(frame[i], 137.5, 1.5) << "pixel " << i / 3;
        EXPECT_NEAR(frame[i + 1], 200, 1.5) << "pixel " << i / 3;
        EXPECT_NEAR(frame[i + 2], 200, 1.5) << "pixel " << i / 3;
    }
    ExpectOverlayStateLeft();
    // The tint stays the current colour: the next frame starts with it.
    EXPECT_EQ(CurrentColour(), (std::array<float, 4>{0.5f, 1, 1, 0.75f}));
}

TEST_F(FrameTest, LetterboxBarsAreSixtyRowsHigh)
{
    ClearFrame(1, 1, 1);
    glDisable(GL_TEXTURE_2D);
    DrawLetterbox();
    const std::vector<uint8_t> frame = ReadFrameRgb();
    for (int row = 0; row < 480; ++row) {
        const bool bar = row < 60 || row >= 420; // GL rows, bottom-up: the bars are symmetric
        const uint8_t expected = bar ? 0 : 255;
        const auto begin = frame.begin() + row * 640 * 3;
        ASSERT_TRUE(std::all_of(begin, begin + 640 * 3, [&](uint8_t v) { return v == expected; }))
            << "row " << row;
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(CurrentColour(), (std::array<float, 4>{1, 1, 1, 1}));
}

TEST_F(FrameTest, FadeKeepsTheFrameByAlpha)
{
    const std::vector<uint8_t> grey(640 * 480 * 3, 0);
    ClearFrame(0.2f, 0.6f, 1.0f);
    const std::vector<uint8_t> before = ReadFrameRgb();
    DrawFade(0, 0, 0, 1);
    EXPECT_EQ(ReadFrameRgb(), before);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    DrawFade(0);
    EXPECT_EQ(ReadFrameRgb(), grey);
    // A black frame has a black blur: the glow adds nothing.
    glColor4f(1, 1, 1, 1);
    GlowPass(135, 1, 1, 1, 0.75f);
    EXPECT_EQ(ReadFrameRgb(), grey);

    ClearFrame(0.2f, 0.6f, 1.0f);
    DrawFade(1, 1, 1, 0);
    EXPECT_EQ(ReadFrameRgb(), std::vector<uint8_t>(640 * 480 * 3, 255));
}

TEST_F(FrameTest, FinishingWithAFullFadeLeavesABlackFrameAndTheOverlayState)
{
    ClearFrame(0.5f, 0.5f, 0.5f);
    glEnable(GL_DEPTH_TEST);
    FinishFrameFadingToBlack(0, 135, 1, 1, 1, 0.5f);
    EXPECT_EQ(ReadFrameRgb(), std::vector<uint8_t>(640 * 480 * 3, 0));
    ExpectOverlayStateLeft();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

// RGBA bytes whose colour and alpha vary across the picture, so that every factor of the
// finishing pass shows in the result.
GLuint PatternedTexture(int side, int seed)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(side) * side * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>((i * (37 + seed) + i / 4 * 11) % 256);
    return UploadRgbaTexture(side, side, rgba, GL_LINEAR);
}

// The largest difference of any byte.
int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int largest = a.size() == b.size() ? 0 : 256;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

// Drawn at 1920x1440, what the scenes place in overlay units lands on the same part of the
// picture: the band that ClipToPictureBand keeps is rows 180 to 1260, and the glow, made from
// the picture brought down to 640x480, is the glow of the same drawing at 640x480.
TEST_F(FrameTest, APictureThreeTimesLargerKeepsTheBandAndTheGlow)
{
    // An amber block off the centre and stripes one overlay unit wide, on dark grey.
    auto blurOfDrawing = [] {
        ClearFrame(0.1f, 0.1f, 0.1f);
        BeginOverlay();
        glDisable(GL_TEXTURE_2D);
        glColor4f(1, 0.8f, 0.3f, 1);
        FillRectangle(400, 250, 560, 400);
        glColor4f(0.9f, 0.9f, 1, 1);
        for (float x = 60; x < 260; x += 2) FillRectangle(x, 100, x + 1, 380);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        BlurCopyOfFrame(135);
        return BlurTexturePixels();
    };
    const std::vector<uint8_t> atFrameSize = blurOfDrawing();
    ASSERT_EQ(ChangePictureSize({1920, 1440}), "");
    const std::vector<uint8_t> larger = blurOfDrawing();
    double total = 0;
    for (size_t i = 0; i < larger.size(); ++i) total += std::abs(larger[i] - atFrameSize[i]);
    EXPECT_LT(total / static_cast<double>(larger.size()), 1.0);
    EXPECT_LE(LargestDifference(larger, atFrameSize), 8);

    ClearFrame(0, 0, 0);
    ClipToPictureBand();
    ClearFrame(1, 1, 1);
    BeginFinishing();
    for (const auto& [row, white] : {std::pair{179, false}, {180, true}, {1259, true}, {1260, false}}) {
        const std::vector<uint8_t> pixels = ReadFrameRgb(0, row, 1920, 1);
        EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [&](uint8_t v) { return v == (white ? 255 : 0); }))
            << "row " << row;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1920);
    EXPECT_EQ(viewport[3], 1440);
    ASSERT_EQ(ChangePictureSize(PieceFrameSize), "");
}

// A frame of colour that changes across it at every scale: gradients, stripes and steps,
// kept below full brightness so that the glow rarely saturates.
std::vector<uint8_t> PatternedFrame()
{
    std::vector<uint8_t> rgb(640 * 480 * 3);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* pixel = &rgb[(static_cast<size_t>(y) * 640 + x) * 3];
            pixel[0] = static_cast<uint8_t>((x * 7 + y * 3) % 160);
            pixel[1] = static_cast<uint8_t>(((x / 16 + y / 24) % 2) * 120 + y / 8);
            pixel[2] = static_cast<uint8_t>((x * y / 97) % 150);
        }
    return rgb;
}

// The frame set to `rgb` (640 x 480, rows bottom-up).
void DrawFrame(const std::vector<uint8_t>& rgb)
{
    glDisable(GL_TEXTURE_2D); // drawn pixels would be textured too
    glDisable(GL_BLEND);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    DrawPixelsAtOrigin(640, 480, rgb.data());
    glEnable(GL_TEXTURE_2D);
}

TEST_F(FrameTest, FinishingLayersWithFoldedFadesMatchTheSeparateStepsOnAPatternedFrame)
{
    // The separate steps: letterbox, vignette, noise and glow each a pass of their own, a fade
    // before the letterbox or after the noise a pass too.
    auto separate = [](const FadeLayer& before, float after) {
        BeginFinishing();
        if (before.alpha < 1) DrawFade(before.r, before.g, before.b, before.alpha);
        DrawLetterbox();
        DrawVignette();
        DrawNoise();
        if (after < 1) DrawFade(after);
        glColor4f(1, 1, 1, 1);
        BlurFrame(135, 1, 1, 1, 0.75f);
        AddGlow();
    };
    const std::vector<uint8_t> pattern = PatternedFrame();
    auto frameWith = [&](const std::function<void()>& finish) {
        DrawFrame(pattern);
        finish();
        return ReadFrameRgb();
    };
    SetNoiseTickCount(15 * 321);
    enum { kBoth, kNoVignette, kNoNoise };
    for (const int textures : {kBoth, kNoVignette, kNoNoise}) {
        ClearTextureLibrary(GlobalTextures);
        if (textures != kNoVignette) AddTexture(GlobalTextures, "vinget", PatternedTexture(64, 0));
        if (textures != kNoNoise) AddTexture(GlobalTextures, "noise", PatternedTexture(256, 5));
        ResolveFinishingTextures();
        for (const float fade : {0.0f, 0.35f, 1.0f}) {
            const auto context = ::testing::Message() << "textures " << textures << ", fade alpha " << fade;
            // One rounding for three or four on the way, then doubled by the glow.
            EXPECT_LE(LargestDifference(frameWith([&] { separate(FadeLayer(1, 0.5f, 0.2f, fade), 1); }),
                                        frameWith([&] { FinishFadedFrame(FadeLayer(1, 0.5f, 0.2f, fade), 135, 1, 1, 1, 0.75f); })),
                      4)
                << context << ", to a colour before the layers";
            EXPECT_LE(LargestDifference(frameWith([&] { separate(fade, 1); }),
                                        frameWith([&] { FinishFadedFrame(fade, 135, 1, 1, 1, 0.75f); })),
                      4)
                << context << ", to black before the layers";
            EXPECT_LE(LargestDifference(frameWith([&] { separate({}, fade); }),
                                        frameWith([&] { FinishFrameFadingToBlack(fade, 135, 1, 1, 1, 0.75f); })),
                      4)
                << context << ", to black after the layers";
        }
        ExpectOverlayStateLeft();
    }
    // Texture 0 draws untextured: without "noise" its layer is the colour, white over the band.
    DrawFrame(pattern);
    DrawFinishingLayers();
    const std::vector<uint8_t> layered = ReadFrameRgb(0, 60, 640, 360);
    EXPECT_TRUE(std::all_of(layered.begin(), layered.end(), [](uint8_t v) { return v == 255; }));
    ClearTextureLibrary(GlobalTextures);
    ResolveFinishingTextures();
}

// Texel (x, y) of an RGB image of width w, with the default wrap (GL_REPEAT).
double Texel(const std::vector<uint8_t>& image, int w, int h, int x, int y, int channel)
{
    x = (x % w + w) % w;
    y = (y % h + h) % h;
    return image[(static_cast<size_t>(y) * w + x) * 3 + channel];
}

// Linear filtering at texel coordinates (u, v), texel centres at whole numbers.
double Bilinear(const std::vector<uint8_t>& image, int w, int h, double u, double v, int channel)
{
    const int x = static_cast<int>(std::floor(u)), y = static_cast<int>(std::floor(v));
    const double fx = u - x, fy = v - y;
    return (Texel(image, w, h, x, y, channel) * (1 - fx) + Texel(image, w, h, x + 1, y, channel) * fx) * (1 - fy) +
           (Texel(image, w, h, x, y + 1, channel) * (1 - fx) + Texel(image, w, h, x + 1, y + 1, channel) * fx) * fy;
}

TEST_F(FrameTest, TheGlowChainOnAPatternedFrameFollowsItsStepsWorkedOutHere)
{
    // Each step as the chain describes it, computed here from the frame alone: the frame
    // shrunk into a 256 x 256 corner (texture 0 .. 0.625 across, 0 .. 0.9375 up), that corner
    // shrunk to 128 x 128, blurred up, down, right and left by (previous * w + own * (256 - w))
    // div 256, and laid over the frame as frame * a + blur * tint * (1 - a) + blur * tint.
    const std::vector<uint8_t> frame = PatternedFrame();
    DrawFrame(frame);
    glColor4f(1, 1, 1, 1);
    GlowPass(140, 0.5f, 0.8f, 1.0f, 0.6f);
    const std::vector<uint8_t> glowed = ReadFrameRgb();

    std::vector<uint8_t> corner(256 * 256 * 3), small(128 * 128 * 3);
    for (int j = 0; j < 256; ++j)
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                corner[(j * 256 + i) * 3 + c] = static_cast<uint8_t>(std::lround(
                    Bilinear(frame, 640, 480, (i + 0.5) / 256 * 0.625 * 1024 - 0.5, (j + 0.5) / 256 * 0.9375 * 512 - 0.5, c)));
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i)
            for (int c = 0; c < 3; ++c)
                small[(j * 128 + i) * 3 + c] =
                    static_cast<uint8_t>(std::lround(Bilinear(corner, 256, 256, 2 * i + 0.5, 2 * j + 0.5, c)));
    const unsigned w = 140, keep = 256 - w;
    auto mix = [&](int to, int from) { small[to] = static_cast<uint8_t>((small[from] * w + small[to] * keep) / 256); };
    for (int r = 1; r < 128; ++r)
        for (int k = 0; k < 384; ++k) mix(r * 384 + k, (r - 1) * 384 + k);
    for (int r = 126; r >= 0; --r)
        for (int k = 0; k < 384; ++k) mix(r * 384 + k, (r + 1) * 384 + k);
    for (int r = 0; r < 128; ++r)
        for (int k = 3; k < 384; ++k) mix(r * 384 + k, r * 384 + k - 3);
    for (int r = 0; r < 128; ++r)
        for (int k = 380; k >= 0; --k) mix(r * 384 + k, r * 384 + k + 3);

    const std::vector<uint8_t> blur = BlurTexturePixels();
    EXPECT_LE(LargestDifference(blur, small), 2) << "the blurred corner";

    const double tint[3] = {0.5, 0.8, 1.0}, a = 0.6;
    int largest = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            for (int c = 0; c < 3; ++c) {
                const double b = Bilinear(small, 128, 128, (x + 0.5) / 640 * 128 - 0.5, (y + 0.5) / 480 * 128 - 0.5, c);
                const double expected = std::min(255.0, frame[(y * 640 + x) * 3 + c] * a + b * tint[c] * (2 - a));
                largest = std::max(largest, static_cast<int>(std::lround(std::fabs(glowed[(y * 640 + x) * 3 + c] - expected))));
            }
    EXPECT_LE(largest, 4) << "the frame with its glow";
}

// Vertices as GL feedback reports them: window position (y up) and texture coordinate.
struct FedVertex {
    float x, y, s, t;
    std::array<float, 4> colour;
    bool operator<(const FedVertex& other) const
    {
        return std::tie(x, y, s, t) < std::tie(other.x, other.y, other.s, other.t);
    }
};

// Feedback positions come through the projection, so they are exact only to rounding.
bool SameVertex(const FedVertex& a, const FedVertex& b)
{
    return std::fabs(a.x - b.x) < 1e-3f && std::fabs(a.y - b.y) < 1e-3f &&
           std::fabs(a.s - b.s) < 1e-6f && std::fabs(a.t - b.t) < 1e-6f;
}

// Every distinct vertex of the polygons drawn by `draw`, sorted.
std::vector<FedVertex> CaptureVertices(const std::function<void()>& draw)
{
    constexpr int kValuesPerVertex = 3 + 4 + 4; // GL_3D_COLOR_TEXTURE in RGBA mode
    static GLfloat buffer[1 << 14];
    const GLint used = FeedbackDuring(FeedbackThreeDColorTexture, buffer, static_cast<GLsizei>(std::size(buffer)), draw);
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    std::vector<FedVertex> vertices;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        EXPECT_EQ(token, FeedbackPolygonToken);
        if (token != FeedbackPolygonToken) break;
        const GLint count = static_cast<GLint>(buffer[i++]);
        for (GLint v = 0; v < count; ++v, i += kValuesPerVertex) {
            const GLfloat* f = buffer + i;
            vertices.push_back({f[0], f[1], f[7], f[8], {f[3], f[4], f[5], f[6]}});
        }
    }
    std::sort(vertices.begin(), vertices.end());
    vertices.erase(std::unique(vertices.begin(), vertices.end(), SameVertex), vertices.end());
    return vertices;
}

TEST_F(FrameTest, TextIsCentredAndTakesItsAtlasCells)
{
    // "AB" at x = 320, advance 40, glyphs 50 x 50 at y = 240: centres 300 and 340. 'A' is
    // code 65, column 1 row 4; 'B' column 2 row 4. t = 4/16 at the glyph's top (overlay
    // y 215, window y 265).
    const auto vertices =
        CaptureVertices([] { DrawText("AB", 0, 320, 240, 50, 50, 40, 0.25f, 0.5f, 0.75f, 1); });
    const std::vector<FedVertex> expected = {
        {275, 215, 1 / 16.f, 5 / 16.f, {}}, {275, 265, 1 / 16.f, 4 / 16.f, {}},
        {315, 215, 2 / 16.f, 5 / 16.f, {}}, {315, 265, 2 / 16.f, 4 / 16.f, {}},
        {325, 215, 2 / 16.f, 5 / 16.f, {}}, {325, 265, 2 / 16.f, 4 / 16.f, {}},
        {365, 215, 3 / 16.f, 5 / 16.f, {}}, {365, 265, 3 / 16.f, 4 / 16.f, {}}};
    ASSERT_EQ(vertices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(SameVertex(vertices[i], expected[i]))
            << i << ": (" << vertices[i].x << ", " << vertices[i].y << ") st (" << vertices[i].s << ", "
            << vertices[i].t << ")";
        EXPECT_EQ(vertices[i].colour, (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1}));
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(CurrentColour(), (std::array<float, 4>{1, 1, 1, 1}));

    // One byte is centred on x; the byte 255 takes the last cell.
    const auto single = CaptureVertices([] { DrawText("\xff", 0, 320, 100, 20, 10, 99, 1, 1, 1, 1); });
    ASSERT_EQ(single.size(), 4u);
    EXPECT_TRUE(SameVertex(single.front(), FedVertex{310, 375, 15 / 16.f, 1, {}}));
    EXPECT_TRUE(SameVertex(single.back(), FedVertex{330, 385, 1, 15 / 16.f, {}}));
}

TEST_F(FrameTest, EmptyTextDrawsNothingButSetsTheState)
{
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_TRUE(CaptureVertices([] { DrawText("", 0, 320, 240, 50, 50, 40, 1, 0, 0, 1); }).empty());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(CurrentColour(), (std::array<float, 4>{1, 1, 1, 1}));
}

TEST_F(FrameTest, NoiseWindowFollowsTheTickCounter)
{
    // Entry (ticks div 15) mod 1000: 15 * 1007 + 14 ticks pick entry 7.
    const Float3 saved = RandomPairs[7];
    RandomPairs[7] = {0.25f, 0.5f, 0};
    SetNoiseTickCount(15 * 1007 + 14);
    DrawLetterbox();
    const auto vertices = CaptureVertices([] { DrawNoise(); });
    RandomPairs[7] = saved;

    // The picture band, overlay rows 60 to 420 (window rows 420 down to 60).
    const std::vector<FedVertex> expected = {{0, 60, 0.25f, 0.7f, {}},
                                             {0, 420, 0.25f, 0.5f, {}},
                                             {640, 60, 0.45f, 0.7f, {}},
                                             {640, 420, 0.45f, 0.5f, {}}};
    ASSERT_EQ(vertices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(SameVertex(vertices[i], expected[i]))
            << i << ": (" << vertices[i].x << ", " << vertices[i].y << ") st (" << vertices[i].s
            << ", " << vertices[i].t << ")";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

} // namespace
