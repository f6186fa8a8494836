// Contact sheets.
#include "capture/contact_sheet.h"

#include "base/error.h"
#include "base/piece_schedule.h"
#include "capture/png_writer.h"
#include "capture/shot.h"
#include "gl/gl.h"
#include "platform/stop_signals.h"
#include "resources/globaldata.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

// More would make a picture of gigabytes.
constexpr int kMaxThumbnails = 2000;
constexpr int64_t kMaxSheetBytes = int64_t{1} << 30;

// Captions: glyph cells of 16 pixels, 8 apart, as DrawText lays out a line.
constexpr int kGlyphCell = 16;
constexpr int kGlyphAdvance = 8;

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kBackground{20, 20, 20};
constexpr Rgb kCaptionStrip{34, 30, 28};
constexpr Rgb kTimeColour{225, 225, 225};
constexpr Rgb kSceneColour{214, 128, 64}; // rust

class Image {
public:
    Image(int width, int height, Rgb fill) : m_width(width), m_height(height), m_rgb(size_t(width) * height * 3)
    {
        for (size_t i = 0; i < m_rgb.size(); i += 3) {
            m_rgb[i] = fill.r;
            m_rgb[i + 1] = fill.g;
            m_rgb[i + 2] = fill.b;
        }
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint8_t* At(int x, int y) { return &m_rgb[(size_t(y) * m_width + x) * 3]; }
    void Fill(int x0, int y0, int width, int height, Rgb colour)
    {
        for (int y = y0; y < y0 + height; ++y)
            for (int x = x0; x < x0 + width; ++x) {
                uint8_t* pixel = At(x, y);
                pixel[0] = colour.r;
                pixel[1] = colour.g;
                pixel[2] = colour.b;
            }
    }
    std::vector<uint8_t> Take() { return std::move(m_rgb); }

private:
    int m_width, m_height;
    std::vector<uint8_t> m_rgb;
};

// The alpha of the "font" texture as the piece loaded it: 16 x 16 cells, row 0 on top.
class GlyphAtlas {
public:
    GlyphAtlas()
    {
        const GLuint font = FindTexture(GlobalTextures, "font");
        if (!font) return;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glBindTexture(GL_TEXTURE_2D, font);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &m_size);
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        if (m_size >= 16 && height == m_size) {
            m_alpha.resize(size_t(m_size) * m_size);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, m_alpha.data());
        }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    }

    // Draws text with its first glyph cell's left edge at x and its cells' top at y, each
    // output pixel the average alpha of the atlas block it covers.
    void Draw(Image& image, std::string_view text, int x, int y, Rgb colour) const
    {
        if (m_alpha.empty()) return;
        const int cell = m_size / 16;
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned code = static_cast<unsigned char>(text[i]);
            const int cellX = int(code % 16) * cell, cellY = int(code / 16) * cell;
            const int left = x + int(i) * kGlyphAdvance;
            for (int gy = 0; gy < kGlyphCell; ++gy)
                for (int gx = 0; gx < kGlyphCell; ++gx) {
                    const int px = left + gx, py = y + gy;
                    if (px < 0 || py < 0 || px >= image.Width() || py >= image.Height()) continue;
                    const int sx0 = cellX + gx * cell / kGlyphCell, sx1 = cellX + (gx + 1) * cell / kGlyphCell;
                    const int sy0 = cellY + gy * cell / kGlyphCell, sy1 = cellY + (gy + 1) * cell / kGlyphCell;
                    int sum = 0, count = 0;
                    for (int sy = sy0; sy < std::max(sy1, sy0 + 1); ++sy)
                        for (int sx = sx0; sx < std::max(sx1, sx0 + 1); ++sx, ++count)
                            sum += m_alpha[size_t(sy) * m_size + sx];
                    const float a = float(sum) / float(count * 255);
                    uint8_t* pixel = image.At(px, py);
                    pixel[0] = uint8_t(std::lround(pixel[0] * (1 - a) + colour.r * a));
                    pixel[1] = uint8_t(std::lround(pixel[1] * (1 - a) + colour.g * a));
                    pixel[2] = uint8_t(std::lround(pixel[2] * (1 - a) + colour.b * a));
                }
        }
    }

private:
    GLint m_size = 0;
    std::vector<uint8_t> m_alpha;
};

std::string_view SceneAt(int32_t time)
{
    for (const ScheduledScene& scene : PieceSchedule)
        if (scene.startMs <= time && time < scene.endMs) return scene.name;
    return "-";
}

// "m:ss.mmm"
std::string MusicClock(int32_t ms)
{
    return StrFormat("%d:%02d.%03d", ms / 60000, ms / 1000 % 60, ms % 1000);
}

} // namespace

PixelSize SheetThumbnailSize(PixelSize frame)
{
    return {frame.width / SheetShrink, frame.height / SheetShrink};
}

void SheetThumbnailOrigin(int index, int columns, PixelSize thumbnail, int& x, int& y)
{
    x = SheetGap + (index % columns) * (thumbnail.width + SheetGap);
    y = SheetGap + (index / columns) * (thumbnail.height + SheetCaptionHeight + SheetGap);
}

ContactSheet::ContactSheet(const SheetOptions& options) : m_options(options)
{
    const int32_t pieceEnd = PieceEndMs();
    const int32_t played = FrameMusicTime(PlayedFrameCount(60) - 1, 60) + 1;
    const auto from = static_cast<int32_t>(std::llround(options.fromSeconds.value_or(0.0) * 1000.0));
    if (options.toSeconds && *options.toSeconds * 1000.0 > pieceEnd)
        throw FatalError(StrFormat("--to %g: the last scene ends at %.3f s", *options.toSeconds, pieceEnd / 1000.0));
    const int32_t to = options.toSeconds ? static_cast<int32_t>(std::llround(*options.toSeconds * 1000.0)) : played;
    const int64_t count = to > from ? (to - from + options.everyMs - 1) / options.everyMs : 0;
    if (count > kMaxThumbnails)
        throw FatalError(StrFormat("--every %d: %lld thumbnails; a sheet holds at most %d", options.everyMs,
                                   static_cast<long long>(count), kMaxThumbnails));
    const PixelSize thumbnail = SheetThumbnailSize(options.frame.size);
    const int64_t bytes = count * (thumbnail.width + SheetGap) * (thumbnail.height + SheetCaptionHeight + SheetGap) * 3;
    if (bytes > kMaxSheetBytes)
        throw FatalError(StrFormat("--size %dx%d: %lld thumbnails of %dx%d make a sheet of %lld MiB, more than %lld; "
                                   "ask for fewer (--every) or smaller ones",
                                   options.frame.size.width, options.frame.size.height, static_cast<long long>(count),
                                   thumbnail.width, thumbnail.height, static_cast<long long>(bytes >> 20),
                                   static_cast<long long>(kMaxSheetBytes >> 20)));
    for (int64_t time = from; time < to; time += options.everyMs) m_times.push_back(static_cast<int32_t>(time));
    if (m_times.empty())
        throw FatalError(StrFormat("no thumbnail from %.3f s to %.3f s", from / 1000.0, to / 1000.0));
    m_stopSignals = std::make_unique<StopSignals>();
    m_file = std::make_unique<OutputFile>(options.output);
}

ContactSheet::~ContactSheet() = default;

std::vector<uint8_t> ContactSheet::Render(int& width, int& height)
{
    const int count = static_cast<int>(m_times.size());
    const int columns = std::min(m_options.columns, count);
    const int rows = (count + columns - 1) / columns;
    const PixelSize thumbnail = SheetThumbnailSize(m_options.frame.size);
    width = SheetGap + columns * (thumbnail.width + SheetGap);
    height = SheetGap + rows * (thumbnail.height + SheetCaptionHeight + SheetGap);
    Image sheet(width, height, kBackground);
    const GlyphAtlas atlas;
    FrameGrabber grabber(m_options.frame);
    std::vector<uint8_t> frame(static_cast<size_t>(m_options.frame.size.width) * m_options.frame.size.height * 3);

    int32_t previous = -1;
    for (int i = 0; i < count; ++i) {
        if (StopSignals::Caught()) return {};
        RenderOfflineFrameAsPlayedAfter(previous, m_times[i]);
        previous = m_times[i];
        int x = 0, y = 0;
        SheetThumbnailOrigin(i, columns, thumbnail, x, y);
        grabber.Read(frame.data());
        ShrinkByBlocks(frame.data(), static_cast<ptrdiff_t>(m_options.frame.size.width) * 3, m_options.frame.size.width,
                       m_options.frame.size.height, SheetShrink, sheet.At(x, y), static_cast<size_t>(width) * 3);
        const int captionY = y + thumbnail.height;
        sheet.Fill(x, captionY, thumbnail.width, SheetCaptionHeight, kCaptionStrip);
        const std::string clock = MusicClock(m_times[i]);
        const int textY = captionY + (SheetCaptionHeight - kGlyphCell) / 2;
        atlas.Draw(sheet, clock, x, textY, kTimeColour);
        atlas.Draw(sheet, SceneAt(m_times[i]), x + int(clock.size() + 1) * kGlyphAdvance, textY, kSceneColour);
    }
    return sheet.Take();
}

int ContactSheet::Run()
{
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = Render(width, height);
    if (rgb.empty()) {
        std::fprintf(stderr, "lantern sheet: interrupted; %s not written\n", m_options.output.c_str());
        return StopSignals::ExitCode();
    }
    try {
        WritePngRgb(*m_file, width, height, rgb);
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern sheet: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "lantern sheet: wrote %s: %dx%d, %zu thumbnails from %s to %s, every %d ms\n",
                 m_options.output.c_str(), width, height, m_times.size(), MusicClock(m_times.front()).c_str(),
                 MusicClock(m_times.back()).c_str(), m_options.everyMs);
    return 0;
}
