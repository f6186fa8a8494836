// The painting toolkit and the painters built on it: noises that tile when asked to,
// shapes that cover the area they should, blur and resize that keep the mean, tiling
// textures without seams, leaves whose alpha cuts a leaf, and text that renders.
#include "datagen/image.h"
#include "datagen/noise.h"
#include "datagen/textures.h"
#include "datagen/typeface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

float Sum(const Mask& mask) { return std::accumulate(mask.value.begin(), mask.value.end(), 0.0f); }

TEST(Noise, PeriodicNoisesRepeatAndStayInRange)
{
    for (float y : {0.3f, 2.7f}) {
        for (float x : {0.1f, 1.9f, 3.5f}) {
            // Equal up to the rounding of the shifted coordinates.
            EXPECT_NEAR(PerlinNoise(x, y, 7, 4, 4), PerlinNoise(x + 4, y - 4, 7, 4, 4), 1e-5);
            EXPECT_NEAR(ValueNoise(x, y, 7, 4, 4), ValueNoise(x - 8, y + 4, 7, 4, 4), 1e-5);
            EXPECT_NEAR(Fbm(x, y, 9, 5, 0.5f, 4, 4), Fbm(x + 4, y, 9, 5, 0.5f, 4, 4), 1e-4);
            EXPECT_NEAR(Cellular(x, y, 3, 4, 4).nearest, Cellular(x + 4, y + 4, 3, 4, 4).nearest, 1e-5);
        }
    }
    float low = 0, high = 0;
    for (int i = 0; i < 2000; ++i) {
        const float n = PerlinNoise(i * 0.137f, i * 0.071f, 5);
        low = std::min(low, n);
        high = std::max(high, n);
    }
    EXPECT_GT(high - low, 0.8f); // it varies
    EXPECT_LE(high, 1.5f);
    EXPECT_GE(low, -1.5f);

    Rng a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const uint32_t va = a.NextU32();
        EXPECT_EQ(va, b.NextU32());
        differs |= va != c.NextU32();
        const int below = a.Below(7);
        b.Below(7);
        EXPECT_GE(below, 0);
        EXPECT_LT(below, 7);
    }
    EXPECT_TRUE(differs);
}

TEST(Shapes, CoverTheirAreaAndWrapAcrossEdges)
{
    Mask mask(64, 64);
    FillPolygon(mask, {{10, 10}, {30.5f, 10}, {30.5f, 20.25f}, {10, 20.25f}});
    EXPECT_NEAR(Sum(mask), 20.5f * 10.25f, 0.5f);

    // A triangle half of a 20 x 20 square.
    Mask triangle(64, 64);
    FillPolygon(triangle, {{5, 5}, {25, 5}, {5, 25}});
    EXPECT_NEAR(Sum(triangle), 200.0f, 2.0f);

    // A square leaving the right edge comes back on the left.
    Mask wrapped(64, 64);
    FillPolygon(wrapped, {{54, 10}, {74, 10}, {74, 20}, {54, 20}}, 1, true);
    EXPECT_NEAR(Sum(wrapped), 200.0f, 1.0f);
    EXPECT_FLOAT_EQ(wrapped.At(5, 15), 1.0f);
    EXPECT_FLOAT_EQ(wrapped.At(30, 15), 0.0f);

    Mask disc(64, 64);
    FillDisc(disc, {32, 32}, 10);
    EXPECT_NEAR(Sum(disc), 3.14159f * 100, 3.0f);

    Mask stroke(64, 64);
    StrokePolyline(stroke, {{10, 32}, {50, 32}}, 4, 4);
    EXPECT_NEAR(Sum(stroke), 40 * 4 + 3.14159f * 4, 6.0f); // the body and two round caps
}

TEST(Shapes, BlurAndResizeKeepTheMean)
{
    Mask mask(32, 32);
    FillDisc(mask, {8, 8}, 5);
    const float before = Sum(mask);
    Blur(mask, 3, true);
    EXPECT_NEAR(Sum(mask), before, before * 1e-3f);

    Canvas canvas(64, 64);
    ShadeCanvas(canvas, [](float u, float v, float* p) {
        p[0] = u;
        p[1] = v;
        p[2] = u * v;
    });
    const Canvas small = Resize(canvas, 16, 24);
    auto mean = [](const Canvas& c, int channel) {
        double sum = 0;
        for (size_t i = channel; i < c.rgba.size(); i += 4) sum += c.rgba[i];
        return sum / (c.width * c.height);
    };
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(mean(small, channel), mean(canvas, channel), 1e-3);
}

// Mean difference between neighbouring columns (or rows), compared across the wrap: a
// texture that tiles has no seam, so the wrap step looks like any other step.
void ExpectSeamless(const Canvas& canvas, const char* name)
{
    auto step = [&](int x0, int y0, int x1, int y1) {
        const float* a = canvas.At(x0, y0);
        const float* b = canvas.At(x1, y1);
        return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
    };
    const int n = canvas.width;
    double inner = 0, across = 0, innerRows = 0, acrossRows = 0;
    for (int i = 0; i < n; ++i) {
        inner += step(n / 2 - 1, i, n / 2, i);
        across += step(n - 1, i, 0, i);
        innerRows += step(i, n / 2 - 1, i, n / 2);
        acrossRows += step(i, n - 1, i, 0);
    }
    EXPECT_LT(across, inner * 2 + n * 0.01) << name << " has a seam between its right and left edges";
    EXPECT_LT(acrossRows, innerRows * 2 + n * 0.01) << name << " has a seam between its bottom and top edges";
}

TEST(Painters, TilingTexturesHaveNoSeams)
{
    ExpectSeamless(PaintGrassBottom(256), "grassbottom");
    ExpectSeamless(PaintFlatSky(256), "flatsky");
    ExpectSeamless(PaintWater(256), "waterleafs");
}

TEST(Painters, LeavesAreCutOutWithTheStemAtTheBottom)
{
    for (int kind = 1; kind <= 5; ++kind) {
        const Canvas leaf = PaintLeaf(kind, 128);
        double covered = 0;
        for (size_t i = 3; i < leaf.rgba.size(); i += 4) covered += leaf.rgba[i] > 0.5f;
        const double share = covered / (128.0 * 128.0);
        EXPECT_GT(share, 0.12) << "leaf" << kind;
        EXPECT_LT(share, 0.8) << "leaf" << kind;
        // Corners are clear; the stem reaches the bottom rows at the middle.
        EXPECT_LT(leaf.At(0, 0)[3], 0.1f) << "leaf" << kind;
        EXPECT_LT(leaf.At(127, 0)[3], 0.1f) << "leaf" << kind;
        float stem = 0;
        for (int x = 54; x < 74; ++x) stem = std::max(stem, leaf.At(x, 124)[3]);
        EXPECT_GT(stem, 0.5f) << "leaf" << kind;
    }
    // The shadow is the leaf's negative: clear around it, dark under it.
    const Canvas shadow = PaintLeafShadow(64);
    EXPECT_GT(shadow.At(0, 0)[3], 0.95f);
    EXPECT_LT(shadow.At(32, 32)[3], 0.5f);
}

TEST(Typefaces, RenderTheCodePage)
{
    EXPECT_EQ(Cp1252ToUnicode('A'), 65u);
    EXPECT_EQ(Cp1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(Cp1252ToUnicode(0x81), 0u);
    EXPECT_EQ(Cp1252ToUnicode(0xE9), 0xE9u);
    EXPECT_EQ(Cp1252ToUnicode(0x1F), 0u);

    Typeface face(kDejaVuSans, 32);
    Mask mask(256, 64);
    face.DrawLine(mask, "RUST", 128, 44);
    EXPECT_GT(Sum(mask), 200.0f);
    const float width = face.LineWidth("RUST");
    EXPECT_GT(width, 60.0f);
    EXPECT_LT(width, 120.0f);
    // Centred: as much ink left of the middle as right of it, within a glyph's slack.
    float left = 0, right = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) (x < 128 ? left : right) += mask.At(x, y);
    EXPECT_NEAR(left / (left + right), 0.5f, 0.1f);
}

} // namespace
