// The font atlas: the 256 codes of the Windows-1252 page in a 16 by 16 grid, code c in
// column c mod 16 and row c div 16, row 0 at the top of the image. The colour picture is
// white glyphs (widened by a pixel so that blended edges stay white) on black; the alpha
// map carries the exact glyph shapes. Both are packed JPEGs, as the start-up loads them.
#include "datagen/families.h"

#include "datagen/image.h"
#include "datagen/typeface.h"

#include <algorithm>

namespace {

constexpr int kAtlasSize = 1024;
constexpr int kCell = kAtlasSize / 16;
constexpr int kPixelSize = 50;   // em size: capitals fill about two thirds of a cell
constexpr int kBaseline = 49;    // from the top of a cell; descenders end near its bottom

Mask RenderAtlas()
{
    Typeface face(kDejaVuSans, kPixelSize);
    Mask shapes(kAtlasSize, kAtlasSize);
    for (int code = 0; code < 256; ++code) {
        const uint32_t character = Cp1252ToUnicode(static_cast<uint8_t>(code));
        if (character == 0) continue;
        const int cellX = (code % 16) * kCell, cellY = (code / 16) * kCell;
        float left, top, right, bottom;
        if (!face.InkBounds(character, left, top, right, bottom)) continue;
        // Centre the ink, not the advance, so narrow glyphs sit in the middle of their cell.
        Mask glyph(kCell, kCell);
        face.DrawGlyph(glyph, character, (kCell - (right - left)) / 2 - left, static_cast<float>(kBaseline));
        // The outermost ring of a cell stays empty: linear filtering must not pull a
        // neighbour's ink into a glyph.
        for (int y = 1; y < kCell - 1; ++y)
            for (int x = 1; x < kCell - 1; ++x) shapes.At(cellX + x, cellY + y) = glyph.At(x, y);
    }
    return shapes;
}

} // namespace

void GenerateFont(const DataTree& tree)
{
    const Mask shapes = RenderAtlas();
    Mask widened = shapes;
    for (int y = 1; y < kAtlasSize - 1; ++y)
        for (int x = 1; x < kAtlasSize - 1; ++x) {
            float m = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) m = std::max(m, shapes.At(x + i, y + j));
            widened.At(x, y) = std::min(1.0f, m * 1.5f);
        }
    Canvas colour(kAtlasSize, kAtlasSize, {0, 0, 0});
    Paint(colour, widened, Colour{1, 1, 1});
    tree.Write("font.jpg.packed", EncodeLzhufPacked(EncodeJpeg(ToRgb(colour), 92)));
    tree.Write("font_alpha.jpg.packed", EncodeLzhufPacked(EncodeGreyJpeg(MaskToGrey(shapes), 95)));
}
