// The picture's size: the pixels the frame is drawn at, held in one place. 640x480 is the frame
// of the piece and the default; any other size is drawn natively, never scaled up from it: the
// scenes keep placing everything in the 640x480 overlay units, the viewport maps those units
// onto the picture, and every step that counts pixels (scissor rectangles, frame copies and
// read-backs, the off-screen frame itself) asks here. An output of another shape (a window, a
// video, a PNG) shows the picture as its largest 4:3 area, with black bars beside or above and
// below it. Depends on nothing.
#pragma once

#include <array>

#include <cstdint>
#include <string>
#include <string_view>

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The frame of the piece: the size the overlay units count in, and the default picture.
constexpr PixelSize PieceFrameSize{640, 480};

PixelSize PictureSize();
// Set before the off-screen frame and the render targets are made, and again (with both made
// anew for it) when a window the picture follows changes its size.
void SetPictureSize(PixelSize size);

// Where the 4:3 picture shows in an output of width x height: the largest 4:3 rectangle that
// fits, centred. Never smaller than a pixel, so that mapping a point into it never divides by
// zero.
struct FrameRectangle {
    int x, y, width, height;
};
FrameRectangle LetterboxedFrame(int width, int height);
// The picture an output of that size holds: LetterboxedFrame's rectangle, times `supersample`
// on each side when it is drawn larger and filtered down.
PixelSize PictureInside(PixelSize output, int supersample = 1);

// From these many rows up a picture shows more detail than the data's images were made for at
// 640x480: the texture loader then takes their larger versions where the data has them,
// `scale` times the size on each side in the folder Data\<scale>x\... (see lum_textures),
// the largest the picture calls for first.
struct LargerImages {
    int scale;
    int rows;
};
inline constexpr std::array<LargerImages, 2> LargerImageScales{{{4, 1440}, {2, 720}}};

// The smallest output a size may ask for, and the numbers that are surely no picture at all.
constexpr int MinimumOutputSide = 16;
constexpr int64_t MaximumOutputSide = 1 << 20;

// "WIDTHxHEIGHT" in whole pixels ("1920x1080"; an upper-case X too). An empty string when it is
// one, with the size set; otherwise what is wrong with it, for a message that names the option.
std::string ParsePixelSize(std::string_view text, PixelSize& size);
