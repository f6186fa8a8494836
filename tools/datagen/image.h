// The painting toolkit of the procedural textures: float RGBA canvases, coverage masks
// drawn with anti-aliased shapes (polygons, tapered strokes, discs), compositing, blur,
// and the leaf outlines shared by every leaf texture. Coordinates are pixels, origin at
// the top-left corner, y down (the first row written is the top of the texture).
#pragma once

#include "datagen/writers.h"

#include <functional>
#include <vector>

struct Vec2 {
    float x, y;
};

struct Colour {
    float r, g, b;
};
Colour Mix(Colour a, Colour b, float t);
Colour Scale(Colour c, float factor);
// 0xRRGGBB to a colour.
Colour Hex(uint32_t rgb);

// Float RGBA picture, components nominally in [0, 1].
struct Canvas {
    int width = 0, height = 0;
    std::vector<float> rgba;
    Canvas() = default;
    Canvas(int w, int h, Colour fill = {0, 0, 0}, float alpha = 1);
    float* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const float* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Coverage in [0, 1] per pixel.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> value;
    Mask() = default;
    Mask(int w, int h, float fill = 0);
    float& At(int x, int y) { return value[static_cast<size_t>(y) * width + x]; }
    float At(int x, int y) const { return value[static_cast<size_t>(y) * width + x]; }
};

// Calls `shade`(u, v, rgba) for every pixel, u and v in [0, 1) at pixel centres. The rows are
// shaded on two threads at once, so `shade` must depend on (u, v) alone and write nothing
// but its pixel: the canvas is then the same however the threads run.
void ShadeCanvas(Canvas& canvas, const std::function<void(float u, float v, float* rgba)>& shade);
void ShadeMask(Mask& mask, const std::function<float(float u, float v)>& shade);

// Shapes, added to a mask with the union rule (coverage = max). With `wrap` a shape that
// leaves one edge enters at the opposite one, for tiling textures.
void FillPolygon(Mask& mask, const std::vector<Vec2>& points, float opacity = 1, bool wrap = false);
// A stroke through the points whose width goes linearly from `startWidth` to `endWidth`.
void StrokePolyline(Mask& mask, const std::vector<Vec2>& points, float startWidth, float endWidth,
                    float opacity = 1, bool wrap = false);
void FillDisc(Mask& mask, Vec2 centre, float radius, float opacity = 1, float softness = 1, bool wrap = false);

// Paints a colour (or a shader's colour) over the canvas where the mask covers it.
void Paint(Canvas& canvas, const Mask& mask, Colour colour, float opacity = 1);
void Paint(Canvas& canvas, const Mask& mask, const std::function<Colour(float u, float v)>& shader,
           float opacity = 1);
// Sets the canvas alpha to the mask.
void SetAlpha(Canvas& canvas, const Mask& mask);

// Separable blur by three box passes of the given radius (pixels); `wrap` for tiling.
void Blur(Canvas& canvas, int radius, bool wrap = false);
void Blur(Mask& mask, int radius, bool wrap = false);

// Averages factor x factor blocks (for supersampled drawing).
Canvas Downsample(const Canvas& canvas, int factor);
Mask Downsample(const Mask& mask, int factor);

// Conversions to the writers' 8-bit images (rounded, clamped).
RgbImage ToRgb(const Canvas& canvas);
GreyImage AlphaToGrey(const Canvas& canvas);
GreyImage MaskToGrey(const Mask& mask);
// Luminance of the colour, for the black-and-white twins of textures.
Canvas Desaturate(const Canvas& canvas, float contrast = 1);

// Leaf outlines, as polygons in a unit frame: the stem joins at (0, 1), the tip points
// to (0, -1), the blade spans x in about [-1, 1]. `PlaceOutline` maps it into pixels.
enum class LeafKind { Maple, Oak, Birch, Aspen, Elm };
std::vector<Vec2> LeafOutline(LeafKind kind, uint32_t seed);
std::vector<Vec2> PlaceOutline(const std::vector<Vec2>& outline, Vec2 centre, float scale, float angle);
