// The font atlas: the 256 codes of the Windows-1252 page in a 16 by 16 grid, code c in
// column c mod 16 and row c div 16, row 0 at the top of the image. The colour picture is
// white glyphs (widened by a pixel so that blended edges stay white) on black; the alpha
// map carries the exact glyph shapes. Both are packed JPEGs, as the start-up loads them:
// 1024 pixels square, and twice that in the double-resolution folder, for pictures drawn large.
#include "datagen/families.h"

#include "datagen/image.h"
#include "datagen/typeface.h"

#include <algorithm>

namespace {

constexpr int kAtlasSize = 1024;
// In a cell of 64 pixels of that atlas, and in proportion in a larger one:
constexpr int kPixelSize = 50;   // em size: capitals fill about two thirds of a cell
constexpr int kBaseline = 49;    // from the top of a cell; descenders end near its bottom

Mask RenderAtlas(int atlasSize)
{
    const int cell = atlasSize / 16;
    Typeface face(kDejaVuSans, kPixelSize * atlasSize / kAtlasSize);
    const float baseline = static_cast<float>(kBaseline * atlasSize / kAtlasSize);
    Mask shapes(atlasSize, atlasSize);
    for (int code = 0; code < 256; ++code) {
        const uint32_t character = Cp1252ToUnicode(static_cast<uint8_t>(code));
        if (character == 0) continue;
        const int cellX = (code % 16) * cell, cellY = (code / 16) * cell;
        float left, top, right, bottom;
        if (!face.InkBounds(character, left, top, right, bottom)) continue;
        // Centre the ink, not the advance, so narrow glyphs sit in the middle of their cell.
        Mask glyph(cell, cell);
        face.DrawGlyph(glyph, character, (cell - (right - left)) / 2 - left, baseline);
        // The outermost ring of a cell stays empty: linear filtering must not pull a
        // neighbour's ink into a glyph.
        for (int y = 1; y < cell - 1; ++y)
            for (int x = 1; x < cell - 1; ++x) shapes.At(cellX + x, cellY + y) = glyph.At(x, y);
    }
    return shapes;
}

void WriteAtlas(const DataTree& tree, int atlasSize)
{
    const Mask shapes = RenderAtlas(atlasSize);
    Mask widened = shapes;
    for (int y = 1; y < atlasSize - 1; ++y)
        for (int x = 1; x < atlasSize - 1; ++x) {
            float m = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) m = std::max(m, shapes.At(x + i, y + j));
            widened.At(x, y) = std::min(1.0f, m * 1.5f);
        }
    Canvas colour(atlasSize, atlasSize, {0, 0, 0});
    Paint(colour, widened, Colour{1, 1, 1});
    tree.Write("font.jpg.packed", EncodeLzhufPacked(EncodeJpeg(ToRgb(colour), 92)));
    tree.Write("font_alpha.jpg.packed", EncodeLzhufPacked(EncodeGreyJpeg(MaskToGrey(shapes), 95)));
}

} // namespace

void GenerateFont(const DataTree& tree)
{
    WriteAtlas(tree, kAtlasSize);
    WriteAtlas(LargerImageTree(tree, 2), 2 * kAtlasSize);
}
