// The pictures: the title (a rusted lantern hanging from a bare branch against a cold dusk,
// leaves falling), the loader (the lantern on the ground in a drift of leaves) and the
// enamel sign of the yard. The title and loader are painted at their display aspect and
// squeezed into 512 x 512 textures.
#include "datagen/textures.h"

#include "datagen/noise.h"
#include "datagen/typeface.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

// Adds light: colour times intensity, clamped by the later conversion.
void AddLight(Canvas& canvas, const std::function<float(float x, float y)>& intensity, Colour colour)
{
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float i = intensity(static_cast<float>(x), static_cast<float>(y));
            if (i <= 0) continue;
            float* p = canvas.At(x, y);
            p[0] += colour.r * i;
            p[1] += colour.g * i;
            p[2] += colour.b * i;
        }
    }
}

// Cold dusk: slate above, a low rust glow at `glow`, torn clouds lit from below.
void PaintDusk(Canvas& canvas, Vec2 glow, float horizon, uint32_t seed)
{
    const float w = static_cast<float>(canvas.width), h = static_cast<float>(canvas.height);
    ShadeCanvas(canvas, [&](float u, float v, float* p) {
        Colour c = Mix(Hex(0x141B2A), Hex(0x4A5666), SmoothStep(0.0f, horizon, v));
        c = Mix(c, Hex(0x8C8078), SmoothStep(horizon * 0.6f, horizon, v));
        const float dx = (u - glow.x / w) * (w / h), dy = v - glow.y / h;
        const float sun = std::exp(-(dx * dx / 0.08f + dy * dy / 0.02f));
        c = Mix(c, Hex(0xD0783A), sun * 0.75f);
        const float n = Fbm(u * 3.5f, v * 9, seed, 6, 0.55f);
        const float cloud = SmoothStep(0.0f, 0.35f, n + 0.08f - 0.25f * v) * (1 - SmoothStep(horizon - 0.1f, horizon, v));
        const float lit = SmoothStep(-0.2f, 0.6f, Fbm(u * 3.5f, v * 9 + 0.12f, seed + 1, 4));
        Colour cloudColour = Mix(Hex(0x1C2230), Hex(0x5A5C66), lit * 0.6f);
        cloudColour = Mix(cloudColour, Hex(0xC06A34), sun * lit * 0.8f);
        c = Mix(c, cloudColour, cloud * 0.85f);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    });
}

// A branch with its twigs, recursively, into `wood`; some twig ends keep a few leaves.
void GrowBranch(Mask& wood, std::vector<Mask>& leaves, Vec2 start, float angle, float length, float width, int depth,
                Rng& rng)
{
    std::vector<Vec2> path{start};
    Vec2 p = start;
    float a = angle;
    for (int i = 0; i < 5; ++i) {
        a += rng.Uniform(-0.18f, 0.18f);
        p = {p.x + std::cos(a) * length / 5, p.y + std::sin(a) * length / 5};
        path.push_back(p);
    }
    StrokePolyline(wood, path, width, width * 0.6f);
    if (depth == 0 || width < 1.5f) {
        if (rng.Uniform() < 0.5f)
            FillPolygon(leaves[static_cast<size_t>(rng.Below(static_cast<int>(leaves.size())))],
                        PlaceOutline(LeafOutline(LeafKind::Elm, 600u + rng.Below(50)), p, rng.Uniform(5, 9),
                                     rng.Uniform(0, 2 * kPi)));
        return;
    }
    const int children = 2 + (rng.Uniform() < 0.3f ? 1 : 0);
    for (int c = 0; c < children; ++c) {
        const size_t at = 1 + static_cast<size_t>(rng.Below(4));
        GrowBranch(wood, leaves, path[at], a + rng.Uniform(-0.9f, 0.9f), length * rng.Uniform(0.45f, 0.7f), width * 0.55f,
                   depth - 1, rng);
    }
}

// Rusted iron: dark metal with orange-brown blooms and a cold rim light on the left.
Colour RustAt(float u, float v, uint32_t seed)
{
    const float bloom = Fbm(u * 40, v * 40, seed, 5);
    const float pits = Cellular(u * 90, v * 90, seed + 1).nearest;
    Colour c = Mix(Hex(0x1E1612), Hex(0x7A3A18), SmoothStep(-0.2f, 0.5f, bloom));
    c = Mix(c, Hex(0xB0602A), SmoothStep(0.35f, 0.7f, bloom) * 0.7f);
    return Scale(c, 0.8f + 0.3f * SmoothStep(0.0f, 0.5f, pits));
}

struct Lantern {
    Vec2 hook;     // top of the ring it hangs from
    float height;  // ring to base finial
};

// A hexagonal hanging lantern seen from the front: ring, roof, three faces of glass
// between four posts, one pane broken out, an ember of a flame inside; glow around it.
void DrawLantern(Canvas& canvas, const Lantern& lantern, uint32_t seed)
{
    const int w = canvas.width, h = canvas.height;
    const float H = lantern.height, cx = lantern.hook.x, top = lantern.hook.y;
    auto at = [&](float x, float y) { return Vec2{cx + x * H, top + y * H}; };

    // Glow first, so the iron stands dark against it.
    const Vec2 flame = at(0, 0.56f);
    AddLight(canvas, [&](float x, float y) {
        const float d = std::hypot(x - flame.x, y - flame.y) / H;
        return 0.65f * std::exp(-d * d / 0.3f) + 0.22f * std::exp(-d / 0.9f);
    }, Hex(0xC8742E));

    Mask iron(w, h), glass(w, h), hole(w, h), fire(w, h);
    // Ring and roof.
    std::vector<Vec2> ring;
    for (int i = 0; i <= 24; ++i) {
        const float a = 2 * kPi * i / 24;
        ring.push_back(at(0.07f * std::sin(a), 0.07f - 0.07f * std::cos(a)));
    }
    StrokePolyline(iron, ring, 0.018f * H, 0.018f * H);
    FillPolygon(iron, {at(-0.05f, 0.13f), at(0.05f, 0.13f), at(0.07f, 0.18f), at(-0.07f, 0.18f)});
    FillPolygon(iron, {at(-0.1f, 0.18f), at(0.1f, 0.18f), at(0.36f, 0.3f), at(0.38f, 0.33f), at(-0.38f, 0.33f), at(-0.36f, 0.3f)});
    // Bands and the four posts of the three visible faces.
    FillPolygon(iron, {at(-0.34f, 0.33f), at(0.34f, 0.33f), at(0.34f, 0.37f), at(-0.34f, 0.37f)});
    FillPolygon(iron, {at(-0.34f, 0.8f), at(0.34f, 0.8f), at(0.34f, 0.85f), at(-0.34f, 0.85f)});
    const float posts[4] = {-0.32f, -0.13f, 0.13f, 0.32f};
    for (float x : posts) StrokePolyline(iron, {at(x, 0.36f), at(x, 0.81f)}, 0.035f * H, 0.035f * H);
    // Base and finial.
    FillPolygon(iron, {at(-0.34f, 0.85f), at(0.34f, 0.85f), at(0.2f, 0.93f), at(-0.2f, 0.93f)});
    FillPolygon(iron, {at(-0.05f, 0.93f), at(0.05f, 0.93f), at(0.0f, 1.0f)});
    // Glass in the three faces; the right pane is broken out, a few shards left in its frame.
    FillPolygon(glass, {at(-0.32f, 0.37f), at(0.32f, 0.37f), at(0.32f, 0.8f), at(-0.32f, 0.8f)});
    FillPolygon(hole, {at(0.13f, 0.37f), at(0.32f, 0.37f), at(0.32f, 0.8f), at(0.13f, 0.8f)});
    Mask shards(w, h);
    FillPolygon(shards, {at(0.13f, 0.37f), at(0.32f, 0.37f), at(0.26f, 0.43f), at(0.2f, 0.4f), at(0.15f, 0.49f)});
    FillPolygon(shards, {at(0.13f, 0.8f), at(0.18f, 0.66f), at(0.22f, 0.74f), at(0.29f, 0.69f), at(0.32f, 0.8f)});
    // A small tired flame on a burnt wick.
    FillPolygon(fire, {at(0, 0.49f), at(0.035f, 0.57f), at(0.025f, 0.62f), at(-0.025f, 0.62f), at(-0.035f, 0.57f)});
    Blur(fire, std::max(1, static_cast<int>(0.006f * H)));

    // Inside: warm dark, the flame, then the glass over it (not in the broken pane).
    Paint(canvas, glass, Hex(0x3A1E0E), 0.75f);
    Paint(canvas, hole, Hex(0x120A06), 0.6f);
    Paint(canvas, fire, Hex(0xFFD27A));
    Paint(canvas, glass, [&](float u, float v) {
        const float streak = Fbm(u * 8, v * 30, seed + 5, 4);
        return Mix(Hex(0xD88A3A), Hex(0xF2C070), SmoothStep(-0.3f, 0.6f, streak));
    }, 0.35f);
    for (size_t i = 0; i < glass.value.size(); ++i) glass.value[i] *= 1 - hole.value[i];
    Paint(canvas, shards, Hex(0xE0A050), 0.5f);
    Paint(canvas, iron, [&](float u, float v) { return RustAt(u, v, seed); });
    // Rim light from the cold sky on the left edges of the iron.
    Mask rim(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 2; x < w; ++x) rim.At(x, y) = std::max(0.0f, iron.At(x, y) - iron.At(x - 2, y));
    Paint(canvas, rim, Hex(0x9AA8B8), 0.5f);
    // The flame lights the inner edges of the posts.
    Mask inner(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w - 3; ++x) inner.At(x, y) = std::max(0.0f, iron.At(x, y) - iron.At(x + 3, y)) * (x > flame.x ? 0.0f : 1.0f);
    Paint(canvas, inner, Hex(0xE08A3C), 0.35f);
}

// Falling or lying leaves, each kind in its colour, with a lantern-warm light side.
void ScatterLeaves(Canvas& canvas, Rng& rng, int count, float minSize, float maxSize, float minY, float maxY, int blur)
{
    const int w = canvas.width, h = canvas.height;
    const Colour palette[] = {Hex(0xB8401A), Hex(0xD88A2A), Hex(0x8A2E14), Hex(0xE4B24A), Hex(0x6A3418)};
    std::vector<Mask> layers;
    for (int i = 0; i < 5; ++i) layers.emplace_back(w, h);
    for (int i = 0; i < count; ++i) {
        const Vec2 centre{rng.Uniform(0, static_cast<float>(w)), rng.Uniform(minY, maxY) * h};
        const auto kind = static_cast<LeafKind>(rng.Below(5));
        // A leaf seen edge-on is narrow: squash the outline along a random direction.
        std::vector<Vec2> outline = LeafOutline(kind, 700u + rng.Below(100));
        const float squash = rng.Uniform(0.3f, 1.0f);
        for (Vec2& p : outline) p.x *= squash;
        FillPolygon(layers[static_cast<size_t>(rng.Below(5))],
                    PlaceOutline(outline, centre, rng.Uniform(minSize, maxSize), rng.Uniform(0, 2 * kPi)));
    }
    for (size_t i = 0; i < layers.size(); ++i) {
        Blur(layers[i], blur);
        Paint(canvas, layers[i], palette[i]);
    }
}

// A caption line with a soft dark shadow under it.
void DrawCaption(Canvas& canvas, const std::string& text, const char* font, int pixelSize, float centreX, float baseline,
                 float tracking, Colour colour)
{
    Typeface face(font, pixelSize);
    Mask letters(canvas.width, canvas.height);
    face.DrawLine(letters, text, centreX, baseline, tracking);
    Mask shadow = letters;
    Blur(shadow, std::max(1, pixelSize / 8));
    Paint(canvas, shadow, Hex(0x050302), 0.8f);
    Paint(canvas, letters, colour);
}

// Dry grass and weeds in silhouette along the bottom of a picture.
void GrassSilhouette(Canvas& canvas, Rng& rng, float groundY, int count, Colour colour)
{
    const int w = canvas.width, h = canvas.height;
    Mask grass(w, h);
    for (int i = 0; i < count; ++i) {
        Vec2 p{rng.Uniform(0, static_cast<float>(w)), groundY + rng.Uniform(0, 0.05f) * h};
        std::vector<Vec2> path{p};
        float a = -kPi / 2 + rng.Uniform(-0.5f, 0.5f);
        const float length = rng.Uniform(0.04f, 0.16f) * h;
        for (int k = 0; k < 6; ++k) {
            a += rng.Uniform(-0.08f, 0.12f);
            p = {p.x + std::cos(a) * length / 6, p.y + std::sin(a) * length / 6};
            path.push_back(p);
        }
        StrokePolyline(grass, path, rng.Uniform(2.0f, 4.0f), 0.6f);
    }
    Paint(canvas, grass, colour);
}

void FilmFinish(Canvas& canvas, uint32_t seed, float vignette)
{
    const float w = static_cast<float>(canvas.width), h = static_cast<float>(canvas.height);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float dx = (x / w - 0.5f) * 2, dy = (y / h - 0.5f) * 2;
            const float dark = 1 - vignette * SmoothStep(0.5f, 1.6f, std::sqrt(dx * dx + dy * dy));
            const float grain = 0.025f * (LatticeHash(x, y, seed) - 0.5f);
            float* p = canvas.At(x, y);
            for (int c = 0; c < 3; ++c) p[c] = p[c] * dark + grain;
        }
    }
}

} // namespace

Canvas PaintTitle(int size)
{
    constexpr int kWidth = 1024, kHeight = 576;
    Canvas canvas(kWidth, kHeight);
    const float horizon = 0.8f;
    PaintDusk(canvas, {kWidth * 0.68f, kHeight * horizon}, horizon, 131);
    Rng rng(132);

    // The far side of the yard: a wall line with posts and a roof, in blue-black haze.
    std::vector<Vec2> ridge{{0, static_cast<float>(kHeight)}};
    for (int i = 0; i <= 64; ++i) {
        const float x = kWidth * i / 64.0f;
        float y = horizon * kHeight - 8 - 10 * Fbm(i * 0.15f, 0.5f, 133, 3);
        if (i > 8 && i < 20) y -= 34;  // a shed roof
        if (i % 9 == 4) y -= 18;       // fence posts
        ridge.push_back({x, y});
    }
    ridge.push_back({static_cast<float>(kWidth), static_cast<float>(kHeight)});
    Mask far(kWidth, kHeight);
    FillPolygon(far, ridge);
    Paint(canvas, far, Hex(0x1A1E26));

    // The branch the lantern hangs from, entering from the top left.
    Mask wood(kWidth, kHeight);
    std::vector<Mask> branchLeaves;
    for (int i = 0; i < 3; ++i) branchLeaves.emplace_back(kWidth, kHeight);
    GrowBranch(wood, branchLeaves, {-20, kHeight * 0.1f}, 0.12f, kWidth * 0.42f, 22, 5, rng);
    GrowBranch(wood, branchLeaves, {kWidth * 0.2f, kHeight * 0.14f}, -0.5f, kWidth * 0.25f, 10, 4, rng);
    Paint(canvas, wood, Hex(0x0C0A0A));
    Paint(canvas, branchLeaves[0], Hex(0x3A1A10));
    Paint(canvas, branchLeaves[1], Hex(0x5A2A14));
    Paint(canvas, branchLeaves[2], Hex(0x2A140C));

    // The chain from the branch down to the lantern's ring.
    const Lantern lantern{{kWidth * 0.6f, kHeight * 0.3f}, kHeight * 0.4f};
    Mask chain(kWidth, kHeight);
    const float chainTop = kHeight * 0.16f;
    for (float y = chainTop; y < lantern.hook.y; y += 9) {
        std::vector<Vec2> link;
        const bool flat = static_cast<int>((y - chainTop) / 9) % 2 == 0;
        for (int i = 0; i <= 12; ++i) {
            const float a = 2 * kPi * i / 12;
            link.push_back({lantern.hook.x + (flat ? 3.5f : 1.2f) * std::sin(a), y + 4.5f + 5.5f * std::cos(a)});
        }
        StrokePolyline(chain, link, 1.6f, 1.6f);
    }
    Paint(canvas, chain, Hex(0x2A1C16));
    DrawLantern(canvas, lantern, 134);

    // Ground in front, the weeds, a drift of leaves caught in the lantern's light.
    GrassSilhouette(canvas, rng, kHeight * 0.9f, 260, Hex(0x0A0908));
    ScatterLeaves(canvas, rng, 55, 6, 13, 0.05f, 0.85f, 0);
    ScatterLeaves(canvas, rng, 9, 20, 34, 0.0f, 0.9f, 5);
    FilmFinish(canvas, 135, 0.45f);
    DrawCaption(canvas, "the hollow lantern of rust", kDejaVuSerif, 40, kWidth * 0.5f, kHeight * 0.885f, 3,
                Hex(0xEEDCC0));
    return Resize(canvas, size, size);
}

Canvas PaintLoader(int size)
{
    constexpr int kWidth = 1024, kHeight = 768;
    Canvas canvas(kWidth, kHeight);
    const float horizon = 0.66f;
    PaintDusk(canvas, {kWidth * 0.35f, kHeight * horizon}, horizon, 141);
    Rng rng(142);
    // The yard floor: dark earth rising to the horizon, a carpet of leaves on it.
    Mask ground(kWidth, kHeight);
    FillPolygon(ground, {{0, kHeight * horizon}, {static_cast<float>(kWidth), kHeight * (horizon - 0.02f)},
                         {static_cast<float>(kWidth), static_cast<float>(kHeight)}, {0, static_cast<float>(kHeight)}});
    Paint(canvas, ground, [](float u, float v) {
        return Mix(Hex(0x1E1814), Hex(0x3A2A1E), SmoothStep(-0.4f, 0.6f, Fbm(u * 12, v * 6, 143, 5)));
    });
    ScatterLeaves(canvas, rng, 420, 7, 15, horizon + 0.02f, 1.02f, 0);
    // The lantern stands on the leaves, lit from inside; its ring points up.
    DrawLantern(canvas, {{kWidth * 0.5f, kHeight * 0.3f}, kHeight * 0.5f}, 144);
    ScatterLeaves(canvas, rng, 12, 14, 30, 0.05f, 0.7f, 3);
    FilmFinish(canvas, 145, 0.55f);
    DrawCaption(canvas, "the hollow lantern of rust", kDejaVuSerif, 46, kWidth * 0.5f, kHeight * 0.9f, 3, Hex(0xEEDCC0));
    DrawCaption(canvas, "loading", kDejaVuSans, 28, kWidth * 0.5f, kHeight * 0.955f, 10, Hex(0xC8B8A0));
    return Resize(canvas, size, size);
}

Canvas PaintPrepareSign(int size)
{
    const float s = static_cast<float>(size);
    // The plate: rounded rectangle, its edge eaten in places.
    Mask plate(size, size);
    std::vector<Vec2> outline;
    const float inset = 0.04f * s, radius = 0.06f * s;
    for (int corner = 0; corner < 4; ++corner) {
        const float cx = corner == 0 || corner == 3 ? s - inset - radius : inset + radius;
        const float cy = corner < 2 ? s - inset - radius : inset + radius;
        for (int i = 0; i <= 8; ++i) {
            const float a = kPi / 2 * (corner + i / 8.0f);
            outline.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
        }
    }
    FillPolygon(plate, outline);
    Mask eaten(size, size);
    ShadeMask(eaten, [](float u, float v) {
        const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        const float n = Fbm(u * 10, v * 10, 151, 5);
        return SmoothStep(0.06f, 0.035f, edge + 0.03f * n) * SmoothStep(0.1f, 0.3f, n);
    });
    Rng rng(152);
    for (int i = 0; i < 3; ++i)
        FillDisc(eaten, {rng.Uniform(0.15f, 0.85f) * s, rng.Uniform(0.7f, 0.9f) * s}, rng.Uniform(0.008f, 0.018f) * s);

    Canvas canvas(size, size, Hex(0xE4DCC6), 0);
    // Enamel chipped down to rusting iron; rust bleeds down from every chip.
    Mask chips(size, size);
    ShadeMask(chips, [](float u, float v) {
        // Enamel flakes off where the plate flexes and gets knocked: along its edges most,
        // in a few ragged patches elsewhere, and in small chips.
        const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        const float patches = Fbm(u * 7, v * 7, 153, 5) + 0.45f * (1 - SmoothStep(0.0f, 0.16f, edge));
        const CellularResult c = Cellular(u * 14, v * 14, 154);
        const float small = SmoothStep(0.88f, 0.95f, c.cellId) * SmoothStep(0.22f, 0.12f, c.nearest);
        return std::max(SmoothStep(0.42f, 0.5f, patches), small);
    });
    // The streaks fade by 1.5 % a pixel of the 512 sign, as far down the plate at any size.
    Mask streaks = chips;
    const float fade = size == 512 ? 0.985f : std::pow(0.985f, 512.0f / s);
    for (int pass = 0; pass < 3; ++pass)
        for (int y = size - 1; y >= 1; --y)
            for (int x = 0; x < size; ++x) streaks.At(x, y) = std::max(streaks.At(x, y), streaks.At(x, y - 1) * fade);
    ShadeCanvas(canvas, [](float u, float v, float* p) {
        const float dirt = Fbm(u * 6, v * 6, 155, 5);
        const Colour c = Mix(Hex(0xEAE2CC), Hex(0xB8AC8E), SmoothStep(0.0f, 0.8f, dirt));
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    });
    // A red border band and the lettering.
    Mask border(size, size);
    ShadeMask(border, [](float u, float v) {
        const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        return SmoothStep(0.07f, 0.075f, edge) * SmoothStep(0.105f, 0.1f, edge);
    });
    Paint(canvas, border, Hex(0x9A1E16));
    Mask letters(size, size);
    {
        // Each line sized to span the same width inside the border.
        const float span = 0.68f * s;
        Typeface probe(kDejaVuSansBold, 100);
        Typeface big(kDejaVuSansBold, static_cast<int>(100 * span / probe.LineWidth("READY")));
        big.DrawLine(letters, "READY", s * 0.5f, s * 0.5f, 0);
        Typeface small(kDejaVuSansBold, static_cast<int>(100 * span / probe.LineWidth("TO RUST?")));
        small.DrawLine(letters, "TO RUST?", s * 0.5f, s * 0.74f, 0);
    }
    Paint(canvas, letters, Hex(0x17120F));
    Paint(canvas, streaks, Hex(0x8A4A20), 0.45f);
    Paint(canvas, chips, [](float u, float v) { return RustAt(u, v, 156); });
    // Four rivets.
    Mask rivets(size, size);
    for (float x : {0.12f, 0.88f})
        for (float y : {0.12f, 0.88f}) FillDisc(rivets, {x * s, y * s}, 0.018f * s);
    Paint(canvas, rivets, Hex(0x3A2418));
    for (size_t i = 0; i < plate.value.size(); ++i) plate.value[i] *= 1 - eaten.value[i];
    SetAlpha(canvas, plate);
    return canvas;
}
