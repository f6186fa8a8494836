// The five leaf kinds, the floating leaf's shadow and the glowing "atom" leaf. A leaf fills its
// square with the stem at the bottom centre and the tip at the top; it is painted at twice
// the size and averaged down, so the alpha-tested silhouette keeps its teeth.
#include "datagen/textures.h"

#include "datagen/noise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kSupersample = 2;

struct LeafStyle {
    LeafKind kind;
    Colour light, dark;   // the blade's mottling runs between these
    Colour vein;
    Colour edge;          // dried rim
    Colour spot;          // fungus or rust spots
    float spotAmount;
    uint32_t seed;
};

const LeafStyle& StyleOf(int kind)
{
    static const LeafStyle styles[5] = {
        {LeafKind::Birch, Hex(0xF0C33A), Hex(0xC8921C), Hex(0xF8DD7A), Hex(0x8A5A1A), Hex(0x5A3A12), 0.25f, 71},
        {LeafKind::Oak, Hex(0xA8702E), Hex(0x6E4520), Hex(0xC89A5C), Hex(0x4A2C14), Hex(0x3A2410), 0.35f, 72},
        {LeafKind::Aspen, Hex(0xF4A828), Hex(0xD0661A), Hex(0xF8D06A), Hex(0x7A3A10), Hex(0x1E140C), 0.45f, 73},
        {LeafKind::Elm, Hex(0xB0562A), Hex(0x7A3418), Hex(0x5A2810), Hex(0x3C1C0C), Hex(0x2A160A), 0.3f, 74},
        {LeafKind::Maple, Hex(0xE0401C), Hex(0xA01C12), Hex(0xF4A040), Hex(0x5A1A0C), Hex(0x140C08), 0.5f, 75},
    };
    return styles[std::clamp(kind, 1, 5) - 1];
}

// The maple's lobes radiate from this point of its outline frame.
constexpr Vec2 kMapleJoint{0.0f, 0.55f};

// The outline scaled to fill the unit frame: y from -1 (tip) to 1 (stem end), |x| <= 1.
// `anchor`, when given, is moved along with the outline.
std::vector<Vec2> FittedOutline(LeafKind kind, uint32_t seed, Vec2* anchor = nullptr)
{
    std::vector<Vec2> outline = LeafOutline(kind, seed);
    float minY = 1e9f, maxY = -1e9f, maxX = 0;
    for (const Vec2& p : outline) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
        maxX = std::max(maxX, std::fabs(p.x));
    }
    const float scale = std::min(2.0f / (maxY - minY), 1.0f / maxX);
    const float shift = -(minY + maxY) / 2;
    for (Vec2& p : outline) p = {p.x * scale, (p.y + shift) * scale};
    if (anchor) *anchor = {anchor->x * scale, (anchor->y + shift) * scale};
    return outline;
}

// Where the outline crosses the horizontal line at y on one side (x < 0 or x > 0).
float EdgeAt(const std::vector<Vec2>& outline, float y, int side)
{
    float best = 0;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Vec2 a = outline[i], b = outline[(i + 1) % outline.size()];
        if ((a.y <= y) == (b.y <= y)) continue;
        const float x = a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x);
        if ((side < 0 && x < best) || (side > 0 && x > best)) best = x;
    }
    return best;
}

struct LeafFrame {
    Vec2 centre;
    float scale;
    Vec2 ToPixels(Vec2 p) const { return {centre.x + p.x * scale, centre.y + p.y * scale}; }
};

// Midrib, side veins to the edge, and for palmate leaves one main vein to each lobe tip.
void DrawVeins(Mask& veins, const std::vector<Vec2>& outline, Vec2 joint, const LeafFrame& frame, LeafKind kind,
               float width)
{
    auto stroke = [&](Vec2 a, Vec2 b, float w0, float w1) {
        StrokePolyline(veins, {frame.ToPixels(a), frame.ToPixels(b)}, w0, w1);
    };
    if (kind == LeafKind::Maple) {
        // The lobe tips are the outline points farthest from the joint in each lobe's direction.
        const float lobeAngles[5] = {0.0f, 0.95f, -0.95f, 1.95f, -1.95f};
        for (float angle : lobeAngles) {
            // The outline runs once around the joint from straight down, so a lobe's
            // direction is a range of its points.
            const int count = static_cast<int>(outline.size());
            const int middle = static_cast<int>((angle + kPi) / (2 * kPi) * count);
            Vec2 tip = joint;
            for (int i = middle - count / 24; i <= middle + count / 24; ++i) {
                const Vec2 p = outline[static_cast<size_t>((i + count) % count)];
                if (std::hypot(p.x - joint.x, p.y - joint.y) > std::hypot(tip.x - joint.x, tip.y - joint.y)) tip = p;
            }
            const Vec2 end{joint.x + (tip.x - joint.x) * 0.92f, joint.y + (tip.y - joint.y) * 0.92f};
            stroke(joint, end, width * 1.6f, width * 0.4f);
            for (int k = 1; k <= 4; ++k) {
                const float t = k / 5.0f;
                const Vec2 from{Lerp(joint.x, end.x, t), Lerp(joint.y, end.y, t)};
                const float side = (k % 2 ? 1.0f : -1.0f) * 0.28f * (1 - t * 0.5f);
                const Vec2 dir{end.x - joint.x, end.y - joint.y};
                stroke(from, {from.x + dir.x * 0.25f - dir.y * side, from.y + dir.y * 0.25f + dir.x * side}, width * 0.7f,
                       width * 0.2f);
            }
        }
        return;
    }
    stroke({0, 1.0f}, {0, -0.92f}, width * 1.8f, width * 0.4f);
    const int pairs = kind == LeafKind::Oak ? 5 : (kind == LeafKind::Aspen ? 4 : 8);
    for (int i = 0; i < pairs; ++i) {
        const float t = 0.1f + 0.78f * (i + 0.5f) / pairs;
        const float y = 1.0f - 2.0f * t;
        const float rise = kind == LeafKind::Aspen ? 0.45f : 0.3f;
        for (int side = -1; side <= 1; side += 2) {
            const float yEnd = y - rise - 0.04f * side;
            const float x = EdgeAt(outline, yEnd, side) * 0.9f;
            StrokePolyline(veins,
                           {frame.ToPixels({0, y}), frame.ToPixels({x * 0.55f, y - rise * 0.7f}), frame.ToPixels({x, yEnd})},
                           width * 0.9f, width * 0.25f);
        }
    }
}

} // namespace

Canvas PaintLeaf(int kind, int size)
{
    const LeafStyle& style = StyleOf(kind);
    const int big = size * kSupersample;
    Vec2 joint = kMapleJoint;
    const std::vector<Vec2> outline = FittedOutline(style.kind, style.seed, &joint);
    const LeafFrame frame{{big * 0.5f, big * 0.46f}, big * 0.43f};
    Mask blade(big, big);
    FillPolygon(blade, PlaceOutline(outline, frame.centre, frame.scale, 0));
    Mask stem(big, big);
    StrokePolyline(stem, {frame.ToPixels({0, 0.85f}), frame.ToPixels({0.02f, 1.05f}), {big * 0.5f + 0.03f * big, big * 0.985f}},
                   big * 0.018f, big * 0.012f);
    Mask veins(big, big);
    DrawVeins(veins, outline, joint, frame, style.kind, big * 0.008f);

    // Dry rim: how far inside the blade a pixel is, from a blurred copy of the blade.
    Mask inside = blade;
    Blur(inside, big / 40);

    Canvas canvas(big, big, Mix(style.light, style.dark, 0.5f), 0);
    const uint32_t seed = style.seed * 7;
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        const int x = std::min(big - 1, static_cast<int>(u * big)), y = std::min(big - 1, static_cast<int>(v * big));
        if (blade.At(x, y) <= 0) return;
        const float mottle = Fbm(u * 5, v * 5, seed, 5);
        Colour c = Mix(style.dark, style.light, SmoothStep(-0.5f, 0.5f, mottle));
        // The two halves of the blade catch the light differently.
        c = Scale(c, u < 0.5f ? 0.92f : 1.04f);
        const CellularResult cells = Cellular(u * 14, v * 14, seed + 1);
        const float spot = style.spotAmount * (1 - SmoothStep(0.08f, 0.2f, cells.nearest)) *
                           SmoothStep(0.55f, 0.9f, cells.cellId);
        const float halo = style.spotAmount * (1 - SmoothStep(0.12f, 0.35f, cells.nearest)) * SmoothStep(0.55f, 0.9f, cells.cellId);
        c = Mix(c, Mix(style.light, Hex(0xF2D060), 0.5f), halo * 0.6f);
        c = Mix(c, style.spot, spot);
        const float rim = 1 - SmoothStep(0.45f, 0.95f, inside.At(x, y));
        c = Mix(c, style.edge, rim * (0.6f + 0.4f * Fbm(u * 9, v * 9, seed + 2, 3)));
        const float grain = 0.04f * ValueNoise(u * big / 3.0f, v * big / 3.0f, seed + 3);
        p[0] = c.r + grain;
        p[1] = c.g + grain;
        p[2] = c.b + grain;
    });
    Paint(canvas, veins, style.vein, 0.75f);
    Paint(canvas, stem, Mix(style.edge, style.vein, 0.35f));

    Mask alpha = blade;
    for (size_t i = 0; i < alpha.value.size(); ++i) alpha.value[i] = std::max(alpha.value[i], stem.value[i]);
    if (style.kind == LeafKind::Oak) {
        // Insect bites through the blade.
        Mask holes(big, big);
        Rng rng(style.seed);
        for (int i = 0; i < 4; ++i) {
            const Vec2 centre = frame.ToPixels({rng.Uniform(-0.35f, 0.35f), rng.Uniform(-0.5f, 0.5f)});
            const float radius = rng.Uniform(3, 7) * kSupersample;
            std::vector<Vec2> bite;
            for (int k = 0; k < 14; ++k) {
                const float a = 2 * kPi * k / 14, r = radius * rng.Uniform(0.55f, 1.15f);
                bite.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
            }
            FillPolygon(holes, bite);
        }
        for (size_t i = 0; i < alpha.value.size(); ++i) alpha.value[i] *= 1 - holes.value[i];
    }
    SetAlpha(canvas, alpha);
    return Downsample(canvas, kSupersample);
}

Canvas PaintLeafShadow(int size)
{
    // The pond draws it on the meshes of its floating leaves, which wear the aspen ("leaf3"):
    // the shadow has the aspen's outline, so no lobe of it shows past the leaf above it.
    const LeafStyle& aspen = StyleOf(3);
    Mask shape(size, size);
    const LeafFrame frame{{size * 0.5f, size * 0.46f}, size * 0.43f};
    FillPolygon(shape, PlaceOutline(FittedOutline(aspen.kind, aspen.seed), frame.centre, frame.scale, 0));
    Blur(shape, std::max(1, size / 40));
    Canvas canvas(size, size, Hex(0x080B0E), 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) canvas.At(x, y)[3] = 1 - 0.82f * shape.At(x, y);
    return canvas;
}

Canvas PaintAtomLeaf(int size)
{
    const int big = size * kSupersample;
    // The scene draws the square 155 units wide, thousands of times over: the ember fills
    // only the middle eighth of it (about 20 units in the world), with a tight glow, so the
    // swarm reads as leaves and the part of the square around it, never drawn, costs nothing.
    const LeafFrame frame{{big * 0.5f, big * 0.5f}, big * 0.065f};
    const std::vector<Vec2> outline = FittedOutline(LeafKind::Birch, 81);
    Mask core(big, big);
    FillPolygon(core, PlaceOutline(outline, frame.centre, frame.scale, 0));
    Mask halo = core;
    Blur(halo, big / 64);
    Mask veins(big, big);
    DrawVeins(veins, outline, {}, frame, LeafKind::Birch, big * 0.004f);
    Mask inside = core;
    Blur(inside, big / 128);

    Canvas canvas(big, big, Hex(0xFF7A20), 0);
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        const int x = std::min(big - 1, static_cast<int>(u * big)), y = std::min(big - 1, static_cast<int>(v * big));
        const float heat = SmoothStep(0.2f, 1.0f, inside.At(x, y)) * (0.75f + 0.25f * Fbm(u * 6, v * 6, 82, 4));
        Colour c = Mix(Hex(0xB02A0C), Hex(0xFFB040), heat);
        c = Mix(c, Hex(0xFFF0B0), veins.At(x, y) * 0.85f);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = std::max(core.At(x, y) * 0.9f, halo.At(x, y) * 0.55f);
    });
    return Downsample(canvas, kSupersample);
}
