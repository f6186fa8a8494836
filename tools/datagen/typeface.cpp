// FreeType glyph rendering into masks (8-bit anti-aliased coverage, hinting off so glyph
// shapes scale smoothly at every size).
#include "datagen/typeface.h"

#include "base/error.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kDejaVuSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kDejaVuSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

struct Typeface::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Library()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

Typeface::Typeface(const std::string& path, int pixelSize) : m_library(std::make_unique<Library>()), m_path(path)
{
    if (FT_Init_FreeType(&m_library->library)) throw FatalError("Typeface: cannot start FreeType");
    if (FT_New_Face(m_library->library, path.c_str(), 0, &m_library->face))
        ThrowFileError(path, "cannot open the font (install fonts-dejavu-core)");
    if (FT_Set_Pixel_Sizes(m_library->face, 0, static_cast<FT_UInt>(pixelSize)))
        ThrowFileError(path, StrFormat("cannot set a size of %d pixels", pixelSize));
}

Typeface::~Typeface() = default;

namespace {

bool LoadGlyph(FT_Face face, uint32_t codePoint, bool render)
{
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0) return false;
    const FT_Int32 flags = FT_LOAD_NO_HINTING | (render ? FT_LOAD_RENDER : 0);
    return FT_Load_Glyph(face, index, flags) == 0;
}

} // namespace

float Typeface::DrawGlyph(Mask& mask, uint32_t codePoint, float penX, float baselineY)
{
    FT_Face face = m_library->face;
    if (!LoadGlyph(face, codePoint, true)) return 0;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    // Whole-pixel placement keeps the rendered coverage unresampled.
    const int left = static_cast<int>(std::lround(penX)) + slot->bitmap_left;
    const int top = static_cast<int>(std::lround(baselineY)) - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int y = top + static_cast<int>(row);
        if (y < 0 || y >= mask.height) continue;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = left + static_cast<int>(column);
            if (x < 0 || x >= mask.width) continue;
            const float coverage = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
            mask.At(x, y) = std::max(mask.At(x, y), coverage);
        }
    }
    return static_cast<float>(slot->advance.x) / 64.0f;
}

float Typeface::Advance(uint32_t codePoint)
{
    if (!LoadGlyph(m_library->face, codePoint, false)) return 0;
    return static_cast<float>(m_library->face->glyph->advance.x) / 64.0f;
}

bool Typeface::InkBounds(uint32_t codePoint, float& left, float& top, float& right, float& bottom)
{
    if (!LoadGlyph(m_library->face, codePoint, false)) return false;
    const FT_Glyph_Metrics& metrics = m_library->face->glyph->metrics;
    left = metrics.horiBearingX / 64.0f;
    top = -metrics.horiBearingY / 64.0f;
    right = left + metrics.width / 64.0f;
    bottom = top + metrics.height / 64.0f;
    return metrics.width > 0 && metrics.height > 0;
}

float Typeface::LineWidth(const std::string& latin1, float tracking)
{
    float width = 0;
    for (unsigned char c : latin1) width += Advance(c) + tracking;
    return latin1.empty() ? 0 : width - tracking;
}

void Typeface::DrawLine(Mask& mask, const std::string& latin1, float centreX, float baselineY, float tracking)
{
    float pen = centreX - LineWidth(latin1, tracking) / 2;
    for (unsigned char c : latin1) pen += DrawGlyph(mask, c, pen, baselineY) + tracking;
}

uint32_t Cp1252ToUnicode(uint8_t code)
{
    static const uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (code < 0x20 || code == 0x7F) return 0;
    if (code >= 0x80 && code < 0xA0) return kHigh[code - 0x80];
    return code;
}
