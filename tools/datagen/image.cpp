// Painting toolkit: canvases, masks, anti-aliased shapes, blur, conversions, leaf outlines.
#include "datagen/image.h"

#include "datagen/noise.h"

#include "base/two_threads.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kSubRows = 4; // vertical supersampling of polygon edges

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::lround(Clamp01(value) * 255.0f)); }

// Offsets at which a shape with this bounding box must be drawn again to tile.
std::vector<Vec2> WrapOffsets(float minX, float minY, float maxX, float maxY, int width, int height, bool wrap)
{
    std::vector<Vec2> offsets{{0, 0}};
    if (!wrap) return offsets;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            if (i == 0 && j == 0) continue;
            const float ox = static_cast<float>(i * width), oy = static_cast<float>(j * height);
            if (maxX + ox >= 0 && minX + ox <= width && maxY + oy >= 0 && minY + oy <= height)
                offsets.push_back({ox, oy});
        }
    }
    return offsets;
}

void FillPolygonAt(Mask& mask, const std::vector<Vec2>& points, Vec2 offset, float opacity)
{
    float minY = 1e30f, maxY = -1e30f;
    for (const Vec2& p : points) {
        minY = std::min(minY, p.y + offset.y);
        maxY = std::max(maxY, p.y + offset.y);
    }
    const int rowStart = std::max(0, static_cast<int>(std::floor(minY)));
    const int rowEnd = std::min(mask.height - 1, static_cast<int>(std::ceil(maxY)));
    std::vector<float> coverage(static_cast<size_t>(mask.width));
    std::vector<float> crossings;
    const size_t n = points.size();
    for (int row = rowStart; row <= rowEnd; ++row) {
        std::fill(coverage.begin(), coverage.end(), 0.0f);
        for (int sub = 0; sub < kSubRows; ++sub) {
            const float y = row + (sub + 0.5f) / kSubRows;
            crossings.clear();
            for (size_t i = 0; i < n; ++i) {
                const Vec2 a{points[i].x + offset.x, points[i].y + offset.y};
                const Vec2 b{points[(i + 1) % n].x + offset.x, points[(i + 1) % n].y + offset.y};
                if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y))
                    crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
                const float x0 = std::max(0.0f, crossings[i]);
                const float x1 = std::min(static_cast<float>(mask.width), crossings[i + 1]);
                if (x1 <= x0) continue;
                const int first = static_cast<int>(x0), last = std::min(mask.width - 1, static_cast<int>(x1));
                for (int px = first; px <= last; ++px) {
                    const float overlap = std::min(x1, px + 1.0f) - std::max(x0, static_cast<float>(px));
                    if (overlap > 0) coverage[static_cast<size_t>(px)] += overlap / kSubRows;
                }
            }
        }
        for (int x = 0; x < mask.width; ++x) {
            const float c = std::min(1.0f, coverage[static_cast<size_t>(x)]) * opacity;
            if (c > mask.At(x, row)) mask.At(x, row) = c;
        }
    }
}

void StrokeSegmentAt(Mask& mask, Vec2 a, Vec2 b, float widthA, float widthB, float opacity)
{
    const float reach = std::max(widthA, widthB) * 0.5f + 1.0f;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - reach)));
    const int x1 = std::min(mask.width - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - reach)));
    const int y1 = std::min(mask.height - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)));
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float lengthSquared = dx * dx + dy * dy;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f - a.x, py = y + 0.5f - a.y;
            const float t = lengthSquared > 0 ? Clamp01((px * dx + py * dy) / lengthSquared) : 0.0f;
            const float ex = px - t * dx, ey = py - t * dy;
            const float distance = std::sqrt(ex * ex + ey * ey);
            const float halfWidth = 0.5f * Lerp(widthA, widthB, t);
            // Strokes thinner than a pixel fade instead of breaking up.
            const float strength = std::min(1.0f, 2.0f * halfWidth);
            const float c = Clamp01(std::max(halfWidth, 0.5f) - distance + 0.5f) * strength * opacity;
            if (c > mask.At(x, y)) mask.At(x, y) = c;
        }
    }
}

template <typename Image, int Channels>
void BoxPass(Image& image, std::vector<float>& data, int radius, bool wrap, bool horizontal)
{
    const int length = horizontal ? image.width : image.height;
    const int lines = horizontal ? image.height : image.width;
    std::vector<float> line(static_cast<size_t>(length) * Channels), out(line.size());
    const float scale = 1.0f / (2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        auto index = [&](int i) {
            const size_t x = horizontal ? i : l, y = horizontal ? l : i;
            return (y * image.width + x) * Channels;
        };
        for (int i = 0; i < length; ++i)
            for (int c = 0; c < Channels; ++c) line[static_cast<size_t>(i) * Channels + c] = data[index(i) + c];
        auto sample = [&](int i, int c) {
            if (wrap) {
                i %= length;
                if (i < 0) i += length;
            } else {
                i = std::clamp(i, 0, length - 1);
            }
            return line[static_cast<size_t>(i) * Channels + c];
        };
        for (int c = 0; c < Channels; ++c) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k) sum += sample(k, c);
            for (int i = 0; i < length; ++i) {
                out[static_cast<size_t>(i) * Channels + c] = sum * scale;
                sum += sample(i + radius + 1, c) - sample(i - radius, c);
            }
        }
        for (int i = 0; i < length; ++i)
            for (int c = 0; c < Channels; ++c) data[index(i) + c] = out[static_cast<size_t>(i) * Channels + c];
    }
}

} // namespace

Colour Mix(Colour a, Colour b, float t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }

Colour Scale(Colour c, float factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Colour Hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

Canvas::Canvas(int w, int h, Colour fill, float alpha) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4)
{
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = fill.r;
        rgba[i + 1] = fill.g;
        rgba[i + 2] = fill.b;
        rgba[i + 3] = alpha;
    }
}

Mask::Mask(int w, int h, float fill) : width(w), height(h), value(static_cast<size_t>(w) * h, fill) {}

void ShadeCanvas(Canvas& canvas, const std::function<void(float u, float v, float* rgba)>& shade)
{
    SplitOverTwoThreads(canvas.height, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            for (int x = 0; x < canvas.width; ++x)
                shade((x + 0.5f) / canvas.width, (y + 0.5f) / canvas.height, canvas.At(x, y));
    });
}

void ShadeMask(Mask& mask, const std::function<float(float u, float v)>& shade)
{
    SplitOverTwoThreads(mask.height, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            for (int x = 0; x < mask.width; ++x)
                mask.At(x, y) = shade((x + 0.5f) / mask.width, (y + 0.5f) / mask.height);
    });
}

void FillPolygon(Mask& mask, const std::vector<Vec2>& points, float opacity, bool wrap)
{
    if (points.size() < 3) return;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (const Vec2& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    for (const Vec2& offset : WrapOffsets(minX, minY, maxX, maxY, mask.width, mask.height, wrap))
        FillPolygonAt(mask, points, offset, opacity);
}

void StrokePolyline(Mask& mask, const std::vector<Vec2>& points, float startWidth, float endWidth, float opacity,
                    bool wrap)
{
    if (points.size() < 2) return;
    float total = 0;
    for (size_t i = 1; i < points.size(); ++i)
        total += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    float done = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const Vec2 a = points[i - 1], b = points[i];
        const float length = std::hypot(b.x - a.x, b.y - a.y);
        const float wa = Lerp(startWidth, endWidth, total > 0 ? done / total : 0);
        const float wb = Lerp(startWidth, endWidth, total > 0 ? (done + length) / total : 1);
        done += length;
        const float reach = std::max(wa, wb);
        for (const Vec2& o : WrapOffsets(std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach,
                                         std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach, mask.width,
                                         mask.height, wrap))
            StrokeSegmentAt(mask, {a.x + o.x, a.y + o.y}, {b.x + o.x, b.y + o.y}, wa, wb, opacity);
    }
}

void FillDisc(Mask& mask, Vec2 centre, float radius, float opacity, float softness, bool wrap)
{
    const float reach = radius + softness + 1;
    for (const Vec2& o : WrapOffsets(centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach,
                                     mask.width, mask.height, wrap)) {
        const float cx = centre.x + o.x, cy = centre.y + o.y;
        const int x0 = std::max(0, static_cast<int>(cx - reach)), x1 = std::min(mask.width - 1, static_cast<int>(cx + reach));
        const int y0 = std::max(0, static_cast<int>(cy - reach)), y1 = std::min(mask.height - 1, static_cast<int>(cy + reach));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                const float c = Clamp01((radius - d) / softness + 0.5f) * opacity;
                if (c > mask.At(x, y)) mask.At(x, y) = c;
            }
        }
    }
}

void Paint(Canvas& canvas, const Mask& mask, Colour colour, float opacity)
{
    Paint(canvas, mask, [colour](float, float) { return colour; }, opacity);
}

void Paint(Canvas& canvas, const Mask& mask, const std::function<Colour(float u, float v)>& shader, float opacity)
{
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float a = mask.At(x, y) * opacity;
            if (a <= 0) continue;
            const Colour c = shader((x + 0.5f) / canvas.width, (y + 0.5f) / canvas.height);
            float* p = canvas.At(x, y);
            p[0] = Lerp(p[0], c.r, a);
            p[1] = Lerp(p[1], c.g, a);
            p[2] = Lerp(p[2], c.b, a);
        }
    }
}

void SetAlpha(Canvas& canvas, const Mask& mask)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) canvas.At(x, y)[3] = mask.At(x, y);
}

void Blur(Canvas& canvas, int radius, bool wrap)
{
    if (radius <= 0) return;
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass<Canvas, 4>(canvas, canvas.rgba, radius, wrap, true);
        BoxPass<Canvas, 4>(canvas, canvas.rgba, radius, wrap, false);
    }
}

void Blur(Mask& mask, int radius, bool wrap)
{
    if (radius <= 0) return;
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass<Mask, 1>(mask, mask.value, radius, wrap, true);
        BoxPass<Mask, 1>(mask, mask.value, radius, wrap, false);
    }
}

Canvas Downsample(const Canvas& canvas, int factor)
{
    Canvas out(canvas.width / factor, canvas.height / factor);
    const float scale = 1.0f / (factor * factor);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    for (int c = 0; c < 4; ++c) sum[c] += canvas.At(x * factor + i, y * factor + j)[c];
            for (int c = 0; c < 4; ++c) out.At(x, y)[c] = sum[c] * scale;
        }
    }
    return out;
}

Mask Downsample(const Mask& mask, int factor)
{
    Mask out(mask.width / factor, mask.height / factor);
    const float scale = 1.0f / (factor * factor);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            float sum = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) sum += mask.At(x * factor + i, y * factor + j);
            out.At(x, y) = sum * scale;
        }
    }
    return out;
}

RgbImage ToRgb(const Canvas& canvas)
{
    RgbImage image{canvas.width, canvas.height, std::vector<uint8_t>(static_cast<size_t>(canvas.width) * canvas.height * 3)};
    for (size_t i = 0, n = static_cast<size_t>(canvas.width) * canvas.height; i < n; ++i)
        for (int c = 0; c < 3; ++c) image.pixels[i * 3 + c] = ToByte(canvas.rgba[i * 4 + c]);
    return image;
}

GreyImage AlphaToGrey(const Canvas& canvas)
{
    GreyImage image{canvas.width, canvas.height, std::vector<uint8_t>(static_cast<size_t>(canvas.width) * canvas.height)};
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = ToByte(canvas.rgba[i * 4 + 3]);
    return image;
}

GreyImage MaskToGrey(const Mask& mask)
{
    GreyImage image{mask.width, mask.height, std::vector<uint8_t>(mask.value.size())};
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = ToByte(mask.value[i]);
    return image;
}

Canvas Desaturate(const Canvas& canvas, float contrast)
{
    Canvas out = canvas;
    for (size_t i = 0; i < out.rgba.size(); i += 4) {
        const float l = 0.299f * out.rgba[i] + 0.587f * out.rgba[i + 1] + 0.114f * out.rgba[i + 2];
        const float v = Clamp01(0.5f + (l - 0.5f) * contrast);
        out.rgba[i] = out.rgba[i + 1] = out.rgba[i + 2] = v;
    }
    return out;
}

namespace {

// Saw teeth pointing outwards: 0 in the notch, 1 at the point.
float Teeth(float t, float count, float phase)
{
    const float f = t * count + phase;
    const float x = f - std::floor(f);
    return x < 0.8f ? x / 0.8f : (1.0f - x) / 0.2f;
}

// A blade described by its half-width along the midrib (t = 0 at the stem, 1 at the tip),
// left and right edges modulated separately so the two halves are not mirror images.
std::vector<Vec2> ProfileOutline(const std::function<float(float t, int side)>& halfWidth)
{
    constexpr int kSteps = 160;
    std::vector<Vec2> points;
    for (int i = 0; i <= kSteps; ++i) {
        const float t = static_cast<float>(i) / kSteps;
        points.push_back({-halfWidth(t, 0), 1.0f - 2.0f * t});
    }
    for (int i = kSteps - 1; i >= 1; --i) {
        const float t = static_cast<float>(i) / kSteps;
        points.push_back({halfWidth(t, 1), 1.0f - 2.0f * t});
    }
    return points;
}

} // namespace

std::vector<Vec2> LeafOutline(LeafKind kind, uint32_t seed)
{
    Rng rng(seed);
    const float jitterA = rng.Uniform(-0.05f, 0.05f), jitterB = rng.Uniform(-0.05f, 0.05f);
    const float phaseLeft = rng.Uniform(), phaseRight = rng.Uniform();
    switch (kind) {
    case LeafKind::Maple: {
        // Palmate: five pointed lobes radiating from the stem joint, coarse teeth on each.
        struct Lobe {
            float angle, length, width;
        };
        const Lobe lobes[5] = {{0.0f, 0.95f, 0.62f},
                               {0.98f + jitterA, 0.82f, 0.6f},
                               {-0.98f - jitterB, 0.8f, 0.6f},
                               {1.95f, 0.42f, 0.55f},
                               {-1.95f, 0.4f, 0.55f}};
        constexpr int kSteps = 720;
        const Vec2 joint{0.0f, 0.55f};
        std::vector<Vec2> points;
        for (int i = 0; i < kSteps; ++i) {
            const float theta = -kPi + 2 * kPi * i / kSteps; // 0 points to the tip (up)
            float r = 0.3f;
            for (const Lobe& lobe : lobes) {
                float d = std::fabs(theta - lobe.angle);
                d = std::min(d, 2 * kPi - d);
                const float shape = std::max(0.0f, 1.0f - d / lobe.width);
                r = std::max(r, 0.3f + lobe.length * std::pow(shape, 1.6f) *
                                           (1.0f + 0.12f * Teeth(theta / (2 * kPi), 40.0f, phaseLeft) * shape));
            }
            points.push_back({joint.x + std::sin(theta) * r, joint.y - std::cos(theta) * r});
        }
        return points;
    }
    case LeafKind::Oak:
        return ProfileOutline([&](float t, int side) {
            const float envelope = 0.62f * std::pow(std::sin(kPi * std::pow(t, 0.8f)), 0.7f) * (0.35f + 0.65f * t);
            // Deep rounded lobes, offset between the sides.
            const float phase = side ? 0.35f + jitterA : 0.0f + jitterB;
            const float lobes = 0.5f + 0.5f * std::pow(std::fabs(std::sin(kPi * (t * 4.5f + phase))), 0.55f);
            return envelope * (0.45f + 0.55f * lobes) + 0.05f * (1 - t) * t;
        });
    case LeafKind::Birch:
        return ProfileOutline([&](float t, int side) {
            // Triangular-ovate, broad near the base, long point, doubly serrate.
            const float envelope = 0.78f * std::pow(std::sin(kPi * std::pow(t, 0.62f)), 0.85f);
            const float phase = side ? phaseRight : phaseLeft;
            const float teeth = 0.06f * Teeth(t, 15.0f, phase) + 0.025f * Teeth(t, 45.0f, phase);
            return envelope * (0.94f + teeth * (t > 0.06f ? 1.0f : 0.0f));
        });
    case LeafKind::Aspen:
        return ProfileOutline([&](float t, int side) {
            // Nearly round with a short point and rounded teeth.
            const float envelope = 0.9f * std::pow(std::sin(kPi * std::pow(t, 0.78f)), 0.55f) * (1.0f - 0.25f * t * t);
            const float phase = side ? phaseRight : phaseLeft;
            const float teeth = 0.05f * std::fabs(std::sin(kPi * (t * 11.0f + phase)));
            return envelope * (0.95f + teeth);
        });
    case LeafKind::Elm:
        return ProfileOutline([&](float t, int side) {
            // Ovate with an uneven base: one side starts lower than the other.
            const float start = side ? 0.0f : 0.08f;
            const float s = Clamp01((t - start) / (1.0f - start));
            const float envelope = 0.66f * std::pow(std::sin(kPi * std::pow(s, 0.72f)), 0.8f);
            const float phase = side ? phaseRight : phaseLeft;
            const float teeth = 0.07f * Teeth(t, 20.0f, phase) + 0.02f * Teeth(t, 60.0f, phase);
            return envelope * (0.93f + teeth);
        });
    }
    return {};
}

std::vector<Vec2> PlaceOutline(const std::vector<Vec2>& outline, Vec2 centre, float scale, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    std::vector<Vec2> points;
    points.reserve(outline.size());
    for (const Vec2& p : outline) points.push_back({centre.x + scale * (c * p.x - s * p.y), centre.y + scale * (s * p.x + c * p.y)});
    return points;
}
