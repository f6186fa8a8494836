// The textures of the finishing steps and of the lights: vignette, film noise, the light
// sphere's glow and the figures' big soft shadow.
#include "datagen/textures.h"

#include "datagen/noise.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

} // namespace

Canvas PaintVignette(int size)
{
    // Drawn over the 640 x 360 picture band: the falloff is measured in that aspect, and
    // its edge wobbles a little like an old lens hood.
    Canvas canvas(size, size, Hex(0x070504), 1);
    ShadeCanvas(canvas, [](float u, float v, float* p) {
        const float x = (u - 0.5f) * 2 * (16.0f / 9.0f), y = (v - 0.5f) * 2;
        const float angle = std::atan2(y, x);
        const float wobble = 0.06f * Fbm(std::cos(angle) * 2 + 3, std::sin(angle) * 2 + 3, 91, 3);
        const float d = std::sqrt(x * x / 3.4f + y * y) + wobble;
        p[3] = 1 - 0.85f * std::pow(SmoothStep(0.55f, 1.45f, d), 1.3f);
    });
    return canvas;
}

Canvas PaintFilmNoise(int size)
{
    // Grain in every texel with a low alpha; dust specks and hair-thin vertical scratches
    // with a stronger one. A 0.2 window of this texture covers the picture band.
    Canvas canvas(size, size, {0.5f, 0.5f, 0.5f}, 0);
    ShadeCanvas(canvas, [size](float u, float v, float* p) {
        const int x = static_cast<int>(u * size), y = static_cast<int>(v * size);
        const float grain = LatticeHash(x, y, 101);
        const float light = grain > 0.5f ? 1.0f : 0.0f;
        p[0] = p[1] = p[2] = light * 0.9f + 0.05f;
        p[3] = 0.03f + 0.07f * std::fabs(grain - 0.5f) * 2;
    });
    // Specks, hairs and scratches keep their places and their size on screen whatever the
    // texture size: as many as the piece's 1024 texture holds, drawn in the same order, their
    // places and sizes scaled with the texture. Only the grain gets finer in a larger one.
    const float scale = static_cast<float>(size) / 512.0f;
    constexpr int kSpecks = 880, kHairs = 56, kScratches = 36;
    Rng rng(102);
    Mask dust(size, size), hair(size, size), scratches(size, size);
    for (int i = 0; i < kSpecks; ++i)
        FillDisc(dust, {rng.Uniform(0, static_cast<float>(size)), rng.Uniform(0, static_cast<float>(size))},
                 rng.Uniform(0.4f, 1.6f) * scale, rng.Uniform(0.4f, 0.9f), 0.8f, true);
    for (int i = 0; i < kHairs; ++i) {
        // Curled hairs: short wandering strokes.
        Vec2 p{rng.Uniform(0, static_cast<float>(size)), rng.Uniform(0, static_cast<float>(size))};
        std::vector<Vec2> path{p};
        float a = rng.Uniform(0, 2 * kPi);
        for (int k = 0; k < 10; ++k) {
            a += rng.Uniform(-0.7f, 0.7f);
            p = {p.x + std::cos(a) * 2.2f * scale, p.y + std::sin(a) * 2.2f * scale};
            path.push_back(p);
        }
        StrokePolyline(hair, path, 0.8f * scale, 0.5f, 0.8f, true);
    }
    for (int i = 0; i < kScratches; ++i) {
        const float x = rng.Uniform(0, static_cast<float>(size)), y = rng.Uniform(0, static_cast<float>(size));
        const float length = rng.Uniform(20, 120) * scale;
        StrokePolyline(scratches, {{x, y}, {x + rng.Uniform(-1.5f, 1.5f) * scale, y + length}}, 0.7f * scale, 0.5f,
                       0.7f, true);
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float* p = canvas.At(x, y);
            const float dark = std::max(dust.At(x, y), hair.At(x, y));
            if (dark > 0) {
                p[0] = p[1] = p[2] = 0.04f;
                p[3] = std::max(p[3], dark * 0.75f);
            }
            if (scratches.At(x, y) > 0) {
                p[0] = p[1] = p[2] = 0.95f;
                p[3] = std::max(p[3], scratches.At(x, y) * 0.5f);
            }
        }
    }
    return canvas;
}

Canvas PaintLightSphere(int size)
{
    // Many turned planes add this up into a ball of light: a hot core, a halo and faint rays,
    // all within the inner third of the square and exact black beyond. The stair turns 36
    // planes into one ball: a wider halo would add up to a white-out of the whole stair. And
    // the light spheres draw only the lit octagon of each plane: the smaller it is, the
    // fewer pixels the planes fill around a camera that stays outside it.
    Canvas canvas(size, size);
    ShadeCanvas(canvas, [](float u, float v, float* p) {
        const float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
        const float r = std::sqrt(x * x + y * y);
        const float angle = std::atan2(y, x);
        const float rays = 0.5f + 0.5f * Fbm(std::cos(angle) * 3 + 5, std::sin(angle) * 3 + 5, 111, 4);
        const float fade = 1 - SmoothStep(0.17f, 0.3f, r);
        const float core = std::exp(-r * r / 0.003f);
        const float halo = std::exp(-r * r / 0.014f) * 0.5f;
        const float beam = std::exp(-r / 0.07f) * rays * rays * 0.45f;
        const float energy = (core + halo + beam) * fade;
        p[0] = std::min(1.0f, energy * 1.0f);
        p[1] = std::min(1.0f, energy * 0.82f);
        p[2] = std::min(1.0f, energy * 0.55f);
    });
    return canvas;
}

Canvas PaintBigShadow(int size)
{
    // A figure's shadow on the ground: darkest under the feet, ragged and soft outward.
    Canvas canvas(size, size, {0, 0, 0}, 0);
    ShadeCanvas(canvas, [](float u, float v, float* p) {
        const float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
        const float ragged = 0.12f * Fbm(u * 5, v * 5, 121, 4);
        const float r = std::sqrt(x * x * 1.3f + y * y) + ragged;
        p[3] = 0.9f * (1 - SmoothStep(0.15f, 0.9f, r));
    });
    return canvas;
}
