// Skies, ground, grass tuft, tree card and water: the landscape's global textures.
// Tiling textures use noise periods equal to their lattice size and shapes drawn with wrap.
#include "datagen/textures.h"

#include "datagen/noise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

// Shapes are gathered by colour into a few masks and painted once per colour, so hundreds
// of strokes cost a handful of full-canvas passes.
struct ColourLayers {
    std::vector<Colour> colours;
    std::vector<Mask> masks;
    ColourLayers(std::vector<Colour> palette, int width, int height) : colours(std::move(palette))
    {
        for (size_t i = 0; i < colours.size(); ++i) masks.emplace_back(width, height);
    }
    void PaintOnto(Canvas& canvas, float opacity = 1) const
    {
        for (size_t i = 0; i < colours.size(); ++i) Paint(canvas, masks[i], colours[i], opacity);
    }
};

Mask Union(const std::vector<Mask>& masks)
{
    Mask all(masks.front().width, masks.front().height);
    for (const Mask& m : masks)
        for (size_t i = 0; i < all.value.size(); ++i) all.value[i] = std::max(all.value[i], m.value[i]);
    return all;
}

// A gently curved stroke: `segments` steps from `start` along `angle` (radians, 0 = up),
// turning by `bend` over its length, with a little noise in the direction.
std::vector<Vec2> CurvedPath(Vec2 start, float angle, float length, float bend, int segments, Rng& rng)
{
    std::vector<Vec2> points{start};
    Vec2 p = start;
    for (int i = 0; i < segments; ++i) {
        const float a = angle + bend * (i + 0.5f) / segments + rng.Uniform(-0.06f, 0.06f);
        p = {p.x + std::sin(a) * length / segments, p.y - std::cos(a) * length / segments};
        points.push_back(p);
    }
    return points;
}

// Cloud cover at (x, y) in lattice cells, warped so the masses curl; tiles when the periods
// are given. `density` says how much cloud there is, `thickness` how deep it is: thin edges
// glow, thick cores are dark from below.
struct CloudSample {
    float density, thickness;
};

// `detailOctaves` (DetailOctaves) sharpen the edges of a sky painted larger.
CloudSample Clouds(float x, float y, uint32_t seed, int periodX, int periodY, float cover, int detailOctaves)
{
    const float warpX = 0.7f * Fbm(x * 0.5f, y * 0.5f, seed + 1, 3, 0.5f, periodX / 2, periodY / 2);
    const float warpY = 0.7f * Fbm(x * 0.5f + 0.5f, y * 0.5f, seed + 2, 3, 0.5f, periodX / 2, periodY / 2);
    const float n = Fbm(x + warpX, y + warpY, seed, 6, 0.55f, periodX, periodY, detailOctaves) + cover;
    return {SmoothStep(-0.12f, 0.2f, n), SmoothStep(0.05f, 0.55f, n)};
}

} // namespace

Canvas PaintSky(int size)
{
    Canvas canvas(size, size);
    const Colour horizon = Hex(0xC4CCD2), middle = Hex(0x7D90A8), zenith = Hex(0x243452);
    const Colour sunWarm = Hex(0xF29A5A), cloudLit = Hex(0xE6E2DC), cloudDark = Hex(0x4A5264);
    const int detail = DetailOctaves(size, 512);
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        const float h = std::fabs(v - 0.5f) * 2.0f; // 0 at the horizon, 1 at the poles
        Colour c = Mix(horizon, middle, SmoothStep(0.0f, 0.35f, h));
        c = Mix(c, zenith, SmoothStep(0.3f, 1.0f, h));
        float du = std::fabs(u - 0.3f);
        du = std::min(du, 1.0f - du);
        // A low sun behind the cloud bank: a wide warm band over the horizon.
        const float glow = 0.6f * std::exp(-(du * du / 0.012f + h * h / 0.008f)) +
                           0.3f * std::exp(-(du * du / 0.08f + h * h / 0.05f));
        c = Mix(c, sunWarm, glow);
        // Banks of cloud, stretched along the horizon, thinning overhead.
        const CloudSample cloud = Clouds(u * 6, h * 7, 11, 6, 0, -0.05f - 0.2f * h, detail);
        // Overhead the map pinches; at the horizon the clouds sink into the haze.
        const float fade = (1 - SmoothStep(0.7f, 0.95f, h)) * (0.35f + 0.65f * SmoothStep(0.0f, 0.15f, h));
        Colour shade = Mix(cloudLit, cloudDark, cloud.thickness * 0.85f);
        shade = Mix(shade, sunWarm, glow * (1 - 0.6f * cloud.thickness));
        c = Mix(c, shade, cloud.density * fade);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    });
    return canvas;
}

Canvas PaintFlatSky(int size)
{
    Canvas canvas(size, size);
    const Colour gap = Hex(0x8499B2), lit = Hex(0xDCDDDE), under = Hex(0x596070);
    const int detail = DetailOctaves(size, 512);
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        const CloudSample cloud = Clouds(u * 4, v * 4, 21, 4, 4, 0.05f, detail);
        const Colour body = Mix(lit, under, cloud.thickness * 0.9f);
        const Colour c = Mix(gap, body, cloud.density);
        const float grain = 0.02f * ValueNoise(u * size / 4, v * size / 4, 23, size / 4, size / 4);
        p[0] = c.r + grain;
        p[1] = c.g + grain;
        p[2] = c.b + grain;
    });
    return canvas;
}

Canvas PaintGrassBottom(int size)
{
    Canvas canvas(size, size);
    const Colour dirt = Hex(0x4A3A27), dryGrass = Hex(0x7E7344), moss = Hex(0x4F5630);
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        const float patches = Fbm(u * 6, v * 6, 31, 6, 0.5f, 6, 6);
        const float damp = Fbm(u * 3 + 0.5f, v * 3, 32, 4, 0.5f, 3, 3);
        Colour c = Mix(dirt, dryGrass, SmoothStep(-0.35f, 0.35f, patches));
        c = Mix(c, moss, 0.5f * SmoothStep(0.1f, 0.6f, damp));
        const float grain = 0.06f * ValueNoise(u * size / 2, v * size / 2, 33, size / 2, size / 2);
        p[0] = c.r + grain;
        p[1] = c.g + grain;
        p[2] = c.b + grain * 0.8f;
    });
    Rng rng(34);
    const float s = size / 512.0f;
    // Straw: short blades lying every way, light and dark.
    ColourLayers straw({Hex(0xB9A56A), Hex(0x8C8048), Hex(0x5F5A30), Hex(0x2E2618)}, size, size);
    for (int i = 0; i < 5200; ++i) {
        const Vec2 start{rng.Uniform(0, static_cast<float>(size)), rng.Uniform(0, static_cast<float>(size))};
        const float angle = rng.Uniform(0, 2 * kPi);
        const float length = rng.Uniform(6, 20) * s;
        const int layer = rng.Below(4);
        StrokePolyline(straw.masks[static_cast<size_t>(layer)],
                       CurvedPath(start, angle, length, rng.Uniform(-0.6f, 0.6f), 3, rng), 1.8f * s, 0.6f * s,
                       rng.Uniform(0.5f, 0.9f), true);
    }
    straw.PaintOnto(canvas);
    // Fallen leaves with a soft shadow under each.
    ColourLayers leaves({Hex(0xA8431C), Hex(0xC97A22), Hex(0x7A3B1E), Hex(0xD8A23A), Hex(0x5C2A18)}, size, size);
    Mask shadow(size, size);
    for (int i = 0; i < 90; ++i) {
        const Vec2 centre{rng.Uniform(0, static_cast<float>(size)), rng.Uniform(0, static_cast<float>(size))};
        const float scale = rng.Uniform(5, 12) * s;
        const auto kind = static_cast<LeafKind>(rng.Below(5));
        const std::vector<Vec2> outline =
            PlaceOutline(LeafOutline(kind, 340u + i), centre, scale, rng.Uniform(0, 2 * kPi));
        FillPolygon(leaves.masks[static_cast<size_t>(rng.Below(5))], outline, 1, true);
        FillPolygon(shadow, PlaceOutline(LeafOutline(kind, 340u + i), {centre.x + 2 * s, centre.y + 2 * s}, scale,
                                         rng.Uniform(0, 2 * kPi)),
                    1, true);
    }
    Blur(shadow, static_cast<int>(2 * s), true);
    Paint(canvas, shadow, Hex(0x15110C), 0.5f);
    leaves.PaintOnto(canvas, 0.95f);
    return canvas;
}

Canvas PaintGrassTuft(int size)
{
    const Colour base = Hex(0x8A7B45);
    Canvas canvas(size, size, base, 0);
    Rng rng(41);
    const Colour palette[] = {Hex(0xC2AE6C), Hex(0x9C8F4A), Hex(0x7B7A3A), Hex(0xA0642C), Hex(0xD8C690)};
    std::vector<Mask> blades;
    const float s = size / 256.0f;
    for (int i = 0; i < 46; ++i) {
        const float rootX = size * (0.5f + 0.16f * (rng.Uniform() + rng.Uniform() + rng.Uniform() - 1.5f));
        const float height = size * rng.Uniform(0.45f, 0.97f);
        const float lean = rng.Uniform(-0.35f, 0.35f) + (rootX / size - 0.5f) * 0.8f;
        const float bend = rng.Uniform(-0.7f, 0.7f);
        Mask blade(size, size);
        const std::vector<Vec2> path = CurvedPath({rootX, static_cast<float>(size)}, lean, height, bend, 8, rng);
        StrokePolyline(blade, path, rng.Uniform(5.0f, 8.0f) * s, 1.0f * s);
        if (rng.Uniform() < 0.25f) {
            // A seed head: a short chain of husks at the tip.
            const Vec2 tip = path.back();
            for (int k = 0; k < 5; ++k)
                FillDisc(blade, {tip.x + rng.Uniform(-2, 2) * s, tip.y + k * 4.0f * s}, 2.6f * s);
        }
        const Colour colour = palette[rng.Below(5)];
        Paint(canvas, blade, [&](float, float v) { return Mix(Scale(colour, 0.45f), colour, SmoothStep(1.0f, 0.55f, v)); });
        blades.push_back(std::move(blade));
    }
    SetAlpha(canvas, Union(blades));
    return canvas;
}

Canvas PaintTreeCard(int size)
{
    Canvas canvas(size, size, Hex(0x3A2A1C), 0);
    Rng rng(51);
    const float s = size / 512.0f;
    Mask wood(size, size);
    ColourLayers foliage({Hex(0xB4481A), Hex(0xD08A2A), Hex(0x7E2A16), Hex(0xE3B04A)}, size, size);
    struct Branch {
        Vec2 start;
        float angle, length, width;
        int depth;
    };
    std::vector<Branch> stack{{{size * 0.5f, static_cast<float>(size)}, 0.0f, size * 0.27f, 26 * s, 0}};
    while (!stack.empty()) {
        const Branch b = stack.back();
        stack.pop_back();
        const std::vector<Vec2> path = CurvedPath(b.start, b.angle, b.length, rng.Uniform(-0.3f, 0.3f), 4, rng);
        StrokePolyline(wood, path, b.width, b.width * 0.68f);
        const Vec2 end = path.back();
        if (b.depth >= 3 && b.depth < 6 && rng.Uniform() < 0.35f) {
            // A few leaves hang on along the inner branches too.
            const Vec2 at = path[2 + static_cast<size_t>(rng.Below(2))];
            FillPolygon(foliage.masks[static_cast<size_t>(rng.Below(4))],
                        PlaceOutline(LeafOutline(LeafKind::Elm, 560u + b.depth), at, rng.Uniform(4, 7) * s,
                                     rng.Uniform(0, 2 * kPi)));
        }
        if (b.depth >= 6 || b.width < 1.2f) {
            // Twig ends carry what is left of the leaves: most trees here are half bare.
            if (rng.Uniform() < 0.7f) {
                const int count = 3 + rng.Below(6);
                for (int k = 0; k < count; ++k) {
                    const Vec2 at{end.x + rng.Uniform(-14, 14) * s, end.y + rng.Uniform(-12, 12) * s};
                    FillPolygon(foliage.masks[static_cast<size_t>(rng.Below(4))],
                                PlaceOutline(LeafOutline(LeafKind::Elm, 520u + k), at, rng.Uniform(4, 7) * s,
                                             rng.Uniform(0, 2 * kPi)));
                }
            }
            continue;
        }
        const int children = b.depth == 0 ? 3 : 2 + (rng.Uniform() < 0.35f ? 1 : 0);
        for (int c = 0; c < children; ++c) {
            const float spread = b.depth == 0 ? 0.55f : 0.62f;
            // Branches reach up and out but never droop: the crown stays on its card.
            const float angle = std::clamp(b.angle + spread * (c - (children - 1) * 0.5f) + rng.Uniform(-0.25f, 0.25f),
                                           -1.15f, 1.15f);
            stack.push_back({end, angle, b.length * rng.Uniform(0.6f, 0.74f), b.width * 0.64f, b.depth + 1});
        }
    }
    Paint(canvas, wood, [&](float u, float v) {
        const float n = Fbm(u * 24, v * 6, 52, 4);
        return Mix(Hex(0x1E1712), Hex(0x4A3C30), SmoothStep(-0.4f, 0.6f, n));
    });
    foliage.PaintOnto(canvas);
    Mask alpha = wood;
    for (const Mask& m : foliage.masks)
        for (size_t i = 0; i < alpha.value.size(); ++i) alpha.value[i] = std::max(alpha.value[i], m.value[i]);
    SetAlpha(canvas, alpha);
    return canvas;
}

Canvas PaintWater(int size)
{
    Canvas canvas(size, size);
    const Colour deep = Hex(0x0E1A1C), shallow = Hex(0x2A3532), sheen = Hex(0x8FA0A8);
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        const float body = Fbm(u * 3, v * 3, 61, 5, 0.5f, 3, 3);
        Colour c = Mix(deep, shallow, SmoothStep(-0.5f, 0.6f, body));
        const float ripple = RidgedFbm(u * 5 + 0.3f * body, v * 10, 62, 5, 0.5f, 5, 10);
        c = Mix(c, sheen, 0.55f * SmoothStep(0.62f, 0.95f, ripple));
        const float dark = RidgedFbm(u * 7, v * 14 + 0.5f, 63, 3, 0.5f, 7, 14);
        c = Mix(c, deep, 0.4f * SmoothStep(0.7f, 0.95f, dark));
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    });
    // Specks of seed and dust riding on the surface.
    Rng rng(64);
    Mask specks(size, size);
    for (int i = 0; i < 260; ++i)
        FillDisc(specks, {rng.Uniform(0, static_cast<float>(size)), rng.Uniform(0, static_cast<float>(size))},
                 rng.Uniform(0.6f, 1.8f) * size / 512.0f, rng.Uniform(0.3f, 0.8f), 1, true);
    Paint(canvas, specks, Hex(0x6E6450));
    return canvas;
}

Canvas Resize(const Canvas& canvas, int width, int height)
{
    // Area averaging: each output pixel integrates the source rectangle it covers.
    Canvas out(width, height);
    const float sx = static_cast<float>(canvas.width) / width, sy = static_cast<float>(canvas.height) / height;
    for (int y = 0; y < height; ++y) {
        const float y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const float x0 = x * sx, x1 = (x + 1) * sx;
            float sum[4] = {0, 0, 0, 0};
            float total = 0;
            for (int j = static_cast<int>(y0); j < std::min(canvas.height, static_cast<int>(std::ceil(y1))); ++j) {
                const float wy = std::min(y1, j + 1.0f) - std::max(y0, static_cast<float>(j));
                for (int i = static_cast<int>(x0); i < std::min(canvas.width, static_cast<int>(std::ceil(x1))); ++i) {
                    const float w = wy * (std::min(x1, i + 1.0f) - std::max(x0, static_cast<float>(i)));
                    const float* p = canvas.At(i, j);
                    for (int c = 0; c < 4; ++c) sum[c] += w * p[c];
                    total += w;
                }
            }
            for (int c = 0; c < 4; ++c) out.At(x, y)[c] = sum[c] / total;
        }
    }
    return out;
}
