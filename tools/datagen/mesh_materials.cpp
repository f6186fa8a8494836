// Painted materials of the mesh folders. Noise gives every surface its grain; shapes from
// the painting toolkit give windows, chips, leaves and flames. Tiling textures use noise
// periods equal to their lattice size, so they repeat without seams.
#include "datagen/mesh_materials.h"

#include "datagen/noise.h"

#include <cmath>
#include <functional>

namespace {

constexpr float Pi = 3.14159265358979f;

Colour Add(Colour c, float d) { return {c.r + d, c.g + d, c.b + d}; }

void Fill(Canvas& canvas, const std::function<Colour(float u, float v)>& shade)
{
    ShadeCanvas(canvas, [&](float u, float v, float* rgba) {
        Colour c = shade(u, v);
        rgba[0] = Clamp01(c.r);
        rgba[1] = Clamp01(c.g);
        rgba[2] = Clamp01(c.b);
        rgba[3] = 1;
    });
}

// Rust: orange-brown with darker pits and lighter flakes; `u`, `v` in the texture's cells.
Colour RustAt(float u, float v, uint32_t seed, int period)
{
    float n = Fbm(u * period, v * period, seed, 5, 0.55f, period, period);
    float pits = Cellular(u * period * 4, v * period * 4, seed + 7, period * 4, period * 4).nearest;
    Colour deep = Hex(0x5a2a14), bright = Hex(0xa8542a), pale = Hex(0xb87a4a);
    Colour c = Mix(deep, bright, Clamp01(0.5f + 0.6f * n));
    c = Mix(c, pale, SmoothStep(0.55f, 0.9f, Fbm(u * period * 3, v * period * 3, seed + 3, 3, 0.5f, period * 3, period * 3)));
    return Scale(c, 0.75f + 0.35f * SmoothStep(0.0f, 0.5f, pits));
}

// Leaves scattered over a mask-painted canvas, in autumn colours.
void ScatterLeaves(Canvas& canvas, uint32_t seed, int count, float minSize, float maxSize, bool wrap)
{
    Rng rng(seed);
    const Colour tones[] = {Hex(0xb5651d), Hex(0x8b3a1a), Hex(0xc99a2e), Hex(0x6b4423), Hex(0x9c2f1b)};
    for (int i = 0; i < count; ++i) {
        Mask leaf(canvas.width, canvas.height);
        auto kind = static_cast<LeafKind>(rng.Below(5));
        Vec2 centre{rng.Uniform(0, static_cast<float>(canvas.width)), rng.Uniform(0, static_cast<float>(canvas.height))};
        float size = rng.Uniform(minSize, maxSize);
        FillPolygon(leaf, PlaceOutline(LeafOutline(kind, rng.NextU32()), centre, size, rng.Uniform(0, 2 * Pi)), 1, wrap);
        Colour tone = Scale(tones[rng.Below(5)], rng.Uniform(0.7f, 1.1f));
        Paint(canvas, leaf, tone, rng.Uniform(0.75f, 1.0f));
    }
}

} // namespace

Canvas RustCanvas(int size, uint32_t seed, Colour paint, float rust)
{
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        // Rust wins where the noise is low and runs down in streaks.
        float patch = Fbm(u * 4, v * 4, seed + 11, 5, 0.55f, 4, 4);
        float streak = Fbm(u * 16, v * 2, seed + 13, 3, 0.5f, 16, 2);
        float cover = SmoothStep(-0.1f, 0.1f, patch + 0.35f * streak - (rust - 0.5f) * 1.6f);
        Colour worn = Add(paint, 0.08f * Fbm(u * 24, v * 24, seed + 17, 2, 0.5f, 24, 24));
        Colour c0 = Mix(RustAt(u, v, seed, 4), worn, cover);
        // A dark rim along every flake edge.
        float edge = 1 - std::fabs(cover - 0.5f) * 2;
        return Scale(c0, 1 - 0.35f * edge * edge);
    });
    return c;
}

Canvas BarkCanvas(int size, uint32_t seed)
{
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float ridges = RidgedFbm(u * 8, v * 1.5f, seed, 4, 0.5f, 8, 0);
        float grain = Fbm(u * 32, v * 6, seed + 1, 3, 0.5f, 32, 0);
        Colour base = Mix(Hex(0x2e2720), Hex(0x6e6253), ridges);
        base = Mix(base, Hex(0x5d6b3a), 0.25f * SmoothStep(0.3f, 0.8f, Fbm(u * 4, v * 4, seed + 2, 3, 0.5f, 4, 4)));
        return Add(base, 0.06f * grain);
    });
    return c;
}

Canvas PlanksCanvas(int size, uint32_t seed, Colour wood)
{
    Canvas c(size, size);
    const int planks = 4;
    Fill(c, [&](float u, float v) {
        int plank = static_cast<int>(v * planks);
        float within = v * planks - plank;
        float grain = Fbm(u * 2 + plank * 1.7f, within * 12, seed + plank, 4, 0.5f, 2, 0);
        float rings = 0.5f + 0.5f * std::sin((within * 10 + grain * 3) * Pi);
        Colour base = Scale(wood, 0.75f + 0.3f * rings + 0.1f * LatticeHash(plank, 0, seed));
        base = Mix(base, Hex(0x6f6a60), 0.35f * SmoothStep(0.0f, 0.6f, Fbm(u * 6, v * 6, seed + 9, 4, 0.5f, 6, 6)));
        float gap = SmoothStep(0.0f, 0.05f, within) * SmoothStep(1.0f, 0.95f, within);
        return Scale(base, 0.35f + 0.65f * gap);
    });
    return c;
}

Canvas FacadeCanvas(int size, uint32_t seed, float plasterCover)
{
    const int detail = DetailOctaves(size, 512);
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        // Plaster over brick; where the plaster has fallen the brick shows.
        float fallen = Fbm(u * 4, v * 4, seed, 5, 0.55f, 4, 4, detail);
        int row = static_cast<int>(v * 48);
        float bu = u * 16 + (row % 2) * 0.5f;
        float mortar = std::min(std::fabs(v * 48 - row - 0.5f) * 2, std::fabs(bu - std::floor(bu) - 0.5f) * 2);
        Colour brick = Scale(Mix(Hex(0x5e3428), Hex(0x7a4e3c), LatticeHash(static_cast<int>(bu), row, seed)),
                             mortar > 0.85f ? 0.6f : 1.0f);
        brick = Mix(brick, Hex(0x3a3430), 0.4f * SmoothStep(-0.2f, 0.6f, Fbm(u * 5, v * 5, seed + 7, 4, 0.5f, 5, 5)));
        Colour render =
            Mix(Hex(0x6e675c), Hex(0x9a8f7c), 0.5f + 0.5f * Fbm(u * 8, v * 8, seed + 1, 4, 0.5f, 8, 8, detail));
        render = Mix(render, Hex(0x8a6a50), 0.3f * SmoothStep(0.1f, 0.5f, Fbm(u * 3, v * 3, seed + 4, 3, 0.5f, 3, 3)));
        // Dirt runs down from the sills (at v 0.42 and 0.92 of each window row).
        float streaks = Fbm(u * 24, v * 3, seed + 2, 3, 0.5f, 24, 3);
        float below = std::fmod(v + 0.08f, 0.5f) * 2;
        render = Scale(render, 1 - 0.45f * SmoothStep(-0.2f, 0.5f, streaks) * (1 - below));
        // A cornice band at the foot of each storey.
        if (std::fmod(v * 2, 1.0f) > 0.94f) {
            render = Scale(render, 0.7f);
        }
        float edge = 0.7f - 1.4f * plasterCover;
        Colour wall = Mix(brick, render, SmoothStep(edge - 0.05f, edge + 0.05f, fallen));
        // Windows: two columns, two rows per tile.
        float wu = std::fmod(u * 2, 1.0f), wv = std::fmod(v * 2, 1.0f);
        bool frame = wu > 0.28f && wu < 0.72f && wv > 0.12f && wv < 0.78f;
        bool glass = wu > 0.31f && wu < 0.69f && wv > 0.15f && wv < 0.75f;
        bool bar = std::fabs(wu - 0.5f) < 0.012f || std::fabs(wv - 0.4f) < 0.012f;
        if (glass && !bar) {
            float lit = LatticeHash(static_cast<int>(u * 2), static_cast<int>(v * 2), seed + 5);
            Colour pane = lit > 0.85f ? Hex(0x7a5e34) : Hex(0x1d2226);
            return Add(pane, 0.08f * Fbm(u * 40, v * 40, seed + 6, 2, 0.5f, 40, 40));
        }
        if (frame) {
            return Scale(RustAt(u, v, seed + 3, 8), 0.8f);
        }
        if (wu > 0.25f && wu < 0.75f && wv > 0.78f && wv < 0.82f) {
            return Hex(0x5e5a54); // sill
        }
        return wall;
    });
    return c;
}

Canvas AsphaltCanvas(int size, uint32_t seed)
{
    const int detail = DetailOctaves(size, 512);
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float grit = Fbm(u * 64, v * 64, seed, 2, 0.5f, 64, 64, detail);
        float tone = Fbm(u * 4, v * 4, seed + 1, 4, 0.5f, 4, 4);
        float crack = RidgedFbm(u * 6, v * 6, seed + 2, 4, 0.5f, 6, 6);
        Colour base = Add(Mix(Hex(0x3c3a37), Hex(0x5b5750), 0.5f + 0.5f * tone), 0.07f * grit);
        base = Mix(base, Hex(0x4a5230), 0.3f * SmoothStep(0.2f, 0.7f, tone)); // moss in damp hollows
        return Scale(base, crack > 0.93f ? 0.45f : 1.0f);
    });
    const float leafScale = static_cast<float>(size) / 512;
    ScatterLeaves(c, seed + 3, 60, 8 * leafScale, 18 * leafScale, true);
    return c;
}

Canvas FigureAtlas(uint32_t seed, Colour upper, Colour lower, Colour skin, Colour dark)
{
    const int size = 256;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float weave = 0.5f + 0.5f * std::sin(u * size * Pi) * std::sin(v * size * Pi);
        float wear = Fbm(u * 8, v * 8, seed, 4, 0.5f);
        if (v < 0.5f) {
            Colour cloth = u < 0.5f ? upper : lower;
            float folds = Fbm(u * 6, v * 14, seed + 1, 3, 0.5f);
            cloth = Scale(cloth, 0.8f + 0.12f * weave + 0.2f * folds);
            return Mix(cloth, Hex(0x6b5a48), 0.25f * SmoothStep(0.2f, 0.8f, wear)); // dust and stains
        }
        if (u < 0.5f) {
            float blotch = Fbm(u * 10, v * 10, seed + 2, 3, 0.5f);
            return Add(Scale(skin, 0.92f + 0.1f * blotch), 0.02f * weave);
        }
        return Scale(dark, 0.8f + 0.3f * Fbm(u * 30, v * 4, seed + 3, 3, 0.5f));
    });
    return c;
}

Canvas EnamelCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        Colour enamel = Add(Hex(0xd8d2c2), 0.05f * Fbm(u * 8, v * 8, seed, 3, 0.5f, 8, 8));
        // The mug's lathe maps its rim to v 0.5, the outside below it, the inside above.
        if (v > 0.44f && v < 0.53f) {
            enamel = Hex(0x2c4a78); // the blue rim
        } else if (v > 0.57f && v < 0.6f) {
            enamel = Hex(0x3a5a8a); // a thin band below it
        }
        // Chips: black iron rimmed with rust.
        CellularResult cell = Cellular(u * 10, v * 10, seed + 1, 10, 10);
        float chip = cell.cellId > 0.9f ? SmoothStep(0.4f, 0.2f, cell.nearest) : 0.0f;
        float halo = cell.cellId > 0.9f ? SmoothStep(0.6f, 0.35f, cell.nearest) : 0.0f;
        Colour c0 = Mix(enamel, Hex(0x9a5a2a), 0.7f * halo);
        c0 = Mix(c0, Hex(0x1c1a18), chip);
        float run = Fbm(u * 30, v * 3, seed + 2, 3, 0.5f, 30, 3);
        return Mix(c0, Hex(0x8a4a22), 0.15f * SmoothStep(0.4f, 0.7f, run) * v);
    });
    return c;
}

Canvas FoliageCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float shade = Fbm(u * 6, v * 6, seed, 4, 0.5f, 6, 6);
        return Mix(Hex(0x3a2a12), Hex(0x7a5a1e), 0.5f + 0.5f * shade);
    });
    ScatterLeaves(c, seed + 1, 260, 7, 14, true);
    return c;
}

Canvas MudCanvas(int size, uint32_t seed, bool pebbles)
{
    const int detail = DetailOctaves(size, 256);
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float n = Fbm(u * 6, v * 6, seed, 5, 0.55f, 6, 6, detail);
        Colour mud = Mix(Hex(0x2e2a20), Hex(0x5c5238), 0.5f + 0.5f * n);
        if (pebbles) {
            CellularResult cell = Cellular(u * 14, v * 14, seed + 1, 14, 14);
            float stone = SmoothStep(0.42f, 0.3f, cell.nearest) * (cell.cellId > 0.5f ? 1.0f : 0.0f);
            mud = Mix(mud, Scale(Hex(0x8a8478), 0.7f + 0.5f * cell.cellId), stone);
        }
        return mud;
    });
    const float leafScale = static_cast<float>(size) / 256;
    ScatterLeaves(c, seed + 2, pebbles ? 12 : 30, 6 * leafScale, 12 * leafScale, true);
    return c;
}

Canvas StonesCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float n = Fbm(u * 8, v * 8, seed, 5, 0.55f, 8, 8);
        float lichen = SmoothStep(0.3f, 0.6f, Fbm(u * 5, v * 5, seed + 1, 3, 0.5f, 5, 5));
        Colour rock = Mix(Hex(0x55524c), Hex(0x8c877c), 0.5f + 0.5f * n);
        return Mix(rock, Hex(0x8a8a4a), 0.4f * lichen);
    });
    return c;
}

Canvas ReedCanvas(uint32_t seed)
{
    const int size = 128;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float strands = Fbm(u * 40, v * 2, seed, 3, 0.5f, 40, 2);
        return Mix(Hex(0x6a5a30), Hex(0xb8a060), 0.5f + 0.5f * strands);
    });
    return c;
}

Canvas GarageDoorCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float rib = 0.5f + 0.5f * std::sin(u * 48 * Pi);
        Colour paint = Mix(Hex(0x3e5a4a), Hex(0x52705e), rib);
        float flake = Fbm(u * 5, v * 5, seed, 5, 0.55f) + 0.5f * v; // more rust near the ground
        Colour c0 = Mix(paint, Scale(RustAt(u, v, seed + 1, 4), 0.7f + 0.3f * rib), SmoothStep(0.15f, 0.3f, flake));
        bool seam = std::fabs(u - 0.5f) < 0.006f; // the two wings meet
        bool handle = std::fabs(u - 0.54f) < 0.01f && std::fabs(v - 0.55f) < 0.04f;
        return seam || handle ? Hex(0x161412) : c0;
    });
    return c;
}

Canvas LanternCanvas(uint32_t seed)
{
    const int size = 128;
    Canvas c(size, size);
    Fill(c, [&](float u, float v) {
        float bars = std::min(std::fabs(std::fmod(u * 4, 1.0f) - 0.5f), std::fabs(std::fmod(v * 3, 1.0f) - 0.5f));
        if (bars > 0.42f) {
            return RustAt(u, v, seed, 4);
        }
        float grime = Fbm(u * 6, v * 6, seed + 1, 4, 0.5f, 6, 6);
        return Mix(Hex(0xe0a040), Hex(0x5a3a18), 0.5f + 0.5f * grime);
    });
    return c;
}

Canvas SwingCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas wood = PlanksCanvas(size, seed, Hex(0x8a6a44));
    Fill(wood, [&](float u, float v) {
        const float* w = wood.At(static_cast<int>(u * size), static_cast<int>(v * size));
        if (v < 0.5f) {
            return Colour{w[0], w[1], w[2]};
        }
        float twist = 0.5f + 0.5f * std::sin((u * 6 + v * 24) * Pi);
        return Scale(Hex(0x9c8a66), 0.6f + 0.4f * twist + 0.1f * Fbm(u * 20, v * 20, seed + 1, 2, 0.5f));
    });
    return wood;
}

Canvas FlamesCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas c(size, size);
    Mask shape(size, size);
    ShadeMask(shape, [&](float u, float v) {
        // Tongues: a flame is wide and solid at the bottom and splits into licks above.
        float height = 1 - v;
        float lick = Fbm(u * 6, v * 3 - 0.3f, seed, 4, 0.5f);
        float width = 0.42f * (1 - height) + 0.05f;
        float d = std::fabs(u - 0.5f + 0.08f * lick * height);
        return SmoothStep(width + 0.03f, width - 0.03f, d) * SmoothStep(0.92f, 0.55f, height + 0.25f * lick);
    });
    Blur(shape, 2);
    Fill(c, [&](float u, float v) {
        float heat = Clamp01(v * 1.2f - 0.1f + 0.2f * Fbm(u * 8, v * 8, seed + 1, 3, 0.5f));
        return Mix(Mix(Hex(0x8a1a06), Hex(0xf07a18), SmoothStep(0.1f, 0.6f, heat)), Hex(0xffe08a), SmoothStep(0.6f, 1.0f, heat));
    });
    SetAlpha(c, shape);
    return c;
}

Canvas AshCanvas(uint32_t seed)
{
    const int size = 256;
    Canvas c(size, size);
    Mask ring(size, size);
    ShadeMask(ring, [&](float u, float v) {
        float r = std::hypot(u - 0.5f, v - 0.5f) * 2 + 0.15f * Fbm(u * 6, v * 6, seed, 4, 0.5f);
        return SmoothStep(1.0f, 0.7f, r);
    });
    Fill(c, [&](float u, float v) {
        float n = Fbm(u * 12, v * 12, seed + 1, 4, 0.55f);
        float ember = SmoothStep(0.55f, 0.75f, Fbm(u * 20, v * 20, seed + 2, 2, 0.5f));
        return Mix(Mix(Hex(0x0e0c0a), Hex(0x4a4640), 0.5f + 0.5f * n), Hex(0xc04a10), ember);
    });
    SetAlpha(c, ring);
    return c;
}

Canvas TreeCardCanvas(uint32_t seed)
{
    const int size = 512;
    Canvas c(size, size, Hex(0x2a2018), 0);
    Mask wood(size, size), leaves(size, size);
    Rng rng(seed);
    // Branches grow from the foot of the trunk at the bottom centre, splitting as they rise.
    struct Branch {
        Vec2 from;
        float angle, length, width;
        int depth;
    };
    std::vector<Branch> open{{{size * 0.5f, size * 0.99f}, -Pi / 2, size * 0.34f, size * 0.06f, 0}};
    while (!open.empty()) {
        Branch b = open.back();
        open.pop_back();
        std::vector<Vec2> line{b.from};
        Vec2 p = b.from;
        float a = b.angle;
        for (int s = 0; s < 4; ++s) {
            a += rng.Uniform(-0.2f, 0.2f);
            p = {p.x + std::cos(a) * b.length / 4, p.y + std::sin(a) * b.length / 4};
            line.push_back(p);
        }
        StrokePolyline(wood, line, b.width, b.width * 0.6f);
        if (b.depth >= 5) {
            FillDisc(leaves, p, rng.Uniform(10, 22));
            continue;
        }
        int children = b.depth == 0 ? 3 : 2;
        for (int k = 0; k < children; ++k) {
            float spread = (k - (children - 1) / 2.0f) * rng.Uniform(0.45f, 0.8f);
            open.push_back({p, a + spread, b.length * rng.Uniform(0.62f, 0.78f), b.width * 0.62f, b.depth + 1});
        }
    }
    // Leaves still hanging: clusters of small leaves near the twig ends.
    Mask foliage(size, size);
    ShadeMask(foliage, [&](float u, float v) {
        return SmoothStep(0.2f, 0.45f, Fbm(u * 10, v * 10, seed + 1, 3, 0.5f)) * leaves.At(static_cast<int>(u * size),
                                                                                            static_cast<int>(v * size));
    });
    Paint(c, wood, [&](float u, float v) { return Mix(Hex(0x231c16), Hex(0x4a3e32), 0.5f + 0.5f * Fbm(u * 40, v * 8, seed + 2, 2)); });
    Paint(c, foliage, [&](float u, float v) {
        return Mix(Hex(0x9a3a12), Hex(0xd0902a), 0.5f + 0.5f * Fbm(u * 16, v * 16, seed + 3, 3));
    });
    Mask alpha(size, size);
    for (size_t i = 0; i < alpha.value.size(); ++i) {
        alpha.value[i] = std::max(wood.value[i], foliage.value[i]);
    }
    SetAlpha(c, alpha);
    return c;
}
