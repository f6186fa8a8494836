// The drawn picture read back as the frame of an output (a shot, a video frame, a sheet's
// thumbnail): the picture in the output's largest 4:3 rectangle with black bars around it,
// filtered down by blocks when it was drawn larger (supersampled). The picture is drawn at
// the size it shows at, so nothing is ever scaled up. Depends on the picture's size and GL.
#pragma once

#include "base/picture_size.h"
#include "gl/gl.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The size and the supersampling of the frames an offline command writes.
struct OutputFrame {
    PixelSize size = PieceFrameSize;
    int supersample = 1; // the picture drawn this many times larger on each side, then filtered down
    // The picture these frames need drawn: PictureInside(size, supersample).
    PixelSize Picture() const { return PictureInside(size, supersample); }
};

// Each factor x factor block of an RGB image averaged into one pixel (rounded to nearest): the
// image shrunk by `factor` on each side (a factor of 1 copies it). `from` points at the first
// row to take, `fromStride` bytes from each row to the next (negative for an image stored
// bottom row first), fromWidth x fromHeight pixels; `to` gets rows of toStride bytes.
void ShrinkByBlocks(const uint8_t* from, ptrdiff_t fromStride, int fromWidth, int fromHeight, int factor, uint8_t* to,
                    size_t toStride);

// The picture as drawn (PictureSize()), RGB, into `bottomUp`, resized to fit (so only the
// first call allocates): rows bottom first, as GL reads them.
void ReadPicturePixels(std::vector<uint8_t>& bottomUp);

class FrameGrabber {
public:
    // For frames of `output`; the picture drawn must be output.Picture() (FatalError when it
    // is not). Its buffers are made here, once.
    explicit FrameGrabber(const OutputFrame& output);

    // Writes the output's width x height RGB pixels, rows top first, of the frame drawn last.
    void Read(uint8_t* rgb);
    std::vector<uint8_t> Read();
    const OutputFrame& Output() const { return m_output; }

private:
    OutputFrame m_output;
    FrameRectangle m_shown;         // where the picture shows in the output
    PixelSize m_picture;            // as drawn
    std::vector<uint8_t> m_drawn;   // the picture read back, bottom row first
};
