// The picture's size and the shapes derived from it.
#include "base/picture_size.h"

#include <algorithm>
#include <charconv>

namespace {

PixelSize g_picture = PieceFrameSize;

// One side: decimal digits only (no sign, no blank); any longer number counts as one more
// than MaximumOutputSide.
bool ParseSide(std::string_view text, int& side)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    int64_t value = MaximumOutputSide + 1;
    if (text.size() <= 9) std::from_chars(text.data(), text.data() + text.size(), value);
    side = static_cast<int>(std::min<int64_t>(value, MaximumOutputSide + 1));
    return true;
}

} // namespace

PixelSize PictureSize()
{
    return g_picture;
}

void SetPictureSize(PixelSize size)
{
    g_picture = size;
}

FrameRectangle LetterboxedFrame(int width, int height)
{
    int shownWidth = width, shownHeight = width * 3 / 4;
    if (shownHeight > height) {
        shownHeight = height;
        shownWidth = height * 4 / 3;
    }
    shownWidth = std::max(shownWidth, 1);
    shownHeight = std::max(shownHeight, 1);
    return {(width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth, shownHeight};
}

PixelSize PictureInside(PixelSize output, int supersample)
{
    const FrameRectangle shown = LetterboxedFrame(output.width, output.height);
    return {shown.width * supersample, shown.height * supersample};
}

std::string ParsePixelSize(std::string_view text, PixelSize& size)
{
    const size_t x = text.find_first_of("xX");
    PixelSize parsed;
    if (x == std::string_view::npos || !ParseSide(text.substr(0, x), parsed.width) ||
        !ParseSide(text.substr(x + 1), parsed.height))
        return "write it as WIDTHxHEIGHT in whole pixels, as in 1920x1080";
    if (parsed.width < MinimumOutputSide || parsed.height < MinimumOutputSide)
        return "at least " + std::to_string(MinimumOutputSide) + "x" + std::to_string(MinimumOutputSide) +
               " pixels";
    if (parsed.width > MaximumOutputSide || parsed.height > MaximumOutputSide)
        return "more than " + std::to_string(MaximumOutputSide) + " pixels a side";
    size = parsed;
    return {};
}
