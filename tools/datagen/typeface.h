// Text for the pictures: glyphs of a TrueType face rendered with FreeType into coverage
// masks. Used for the font atlas and for the lettering of the title, loader and sign.
#pragma once

#include "datagen/image.h"

#include <memory>
#include <string>

// DejaVu Sans, as installed by fonts-dejavu-core.
extern const char* const kDejaVuSans;
extern const char* const kDejaVuSansBold;
extern const char* const kDejaVuSerif;

class Typeface {
public:
    // Opens the face at `pixelSize` pixels per em; FatalError naming the file if it fails.
    Typeface(const std::string& path, int pixelSize);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    // Adds the glyph of a Unicode code point with its pen at (penX, baselineY); returns the
    // advance in pixels. A code point the face lacks draws nothing and advances 0.
    float DrawGlyph(Mask& mask, uint32_t codePoint, float penX, float baselineY);
    float Advance(uint32_t codePoint);
    // Ink bounds of a glyph relative to its pen position: left, top (up is negative), right, bottom.
    bool InkBounds(uint32_t codePoint, float& left, float& top, float& right, float& bottom);
    // A line of Latin-1 text centred on centreX, with `tracking` extra pixels between letters.
    void DrawLine(Mask& mask, const std::string& latin1, float centreX, float baselineY, float tracking = 0);
    float LineWidth(const std::string& latin1, float tracking = 0);

private:
    struct Library;
    std::unique_ptr<Library> m_library;
    std::string m_path;
};

// The character of a Windows-1252 byte as a Unicode code point (0 for the unused codes).
uint32_t Cp1252ToUnicode(uint8_t code);
