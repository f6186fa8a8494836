// Frame read-back for shots, captures and sheets.
#include "capture/frame_grabber.h"

#include "base/error.h"

#include <cstring>

void ShrinkByBlocks(const uint8_t* from, ptrdiff_t fromStride, int fromWidth, int fromHeight, int factor, uint8_t* to,
                    size_t toStride)
{
    const int width = fromWidth / factor, height = fromHeight / factor;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (factor == 1) {
        for (int y = 0; y < height; ++y) std::memcpy(to + y * toStride, from + y * fromStride, rowBytes);
        return;
    }
    const unsigned area = static_cast<unsigned>(factor * factor);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = to + y * toStride;
        for (int x = 0; x < width; ++x) {
            unsigned r = 0, g = 0, b = 0;
            for (int j = 0; j < factor; ++j) {
                const uint8_t* block = from + (static_cast<ptrdiff_t>(y) * factor + j) * fromStride +
                                       static_cast<ptrdiff_t>(x) * factor * 3;
                for (int i = 0; i < factor; ++i, block += 3) {
                    r += block[0];
                    g += block[1];
                    b += block[2];
                }
            }
            out[x * 3 + 0] = static_cast<uint8_t>((r + area / 2) / area);
            out[x * 3 + 1] = static_cast<uint8_t>((g + area / 2) / area);
            out[x * 3 + 2] = static_cast<uint8_t>((b + area / 2) / area);
        }
    }
}

void ReadPicturePixels(std::vector<uint8_t>& bottomUp)
{
    const PixelSize picture = PictureSize();
    bottomUp.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
}

FrameGrabber::FrameGrabber(const OutputFrame& output)
    : m_output(output), m_shown(LetterboxedFrame(output.size.width, output.size.height)), m_picture(output.Picture())
{
    if (PictureSize() != m_picture)
        throw FatalError(StrFormat("a frame of %dx%d reads a picture of %dx%d, but %dx%d is drawn", output.size.width,
                                   output.size.height, m_picture.width, m_picture.height, PictureSize().width,
                                   PictureSize().height));
    m_drawn.resize(static_cast<size_t>(m_picture.width) * m_picture.height * 3);
}

void FrameGrabber::Read(uint8_t* rgb)
{
    ReadPicturePixels(m_drawn);
    const size_t rowBytes = static_cast<size_t>(m_output.size.width) * 3;
    const size_t barBytes = static_cast<size_t>(m_shown.x) * 3;
    const size_t shownBytes = static_cast<size_t>(m_shown.width) * 3;
    for (int y = 0; y < m_output.size.height; ++y) {
        uint8_t* row = rgb + y * rowBytes;
        if (y < m_shown.y || y >= m_shown.y + m_shown.height) {
            std::memset(row, 0, rowBytes);
            continue;
        }
        std::memset(row, 0, barBytes);
        std::memset(row + barBytes + shownBytes, 0, rowBytes - barBytes - shownBytes);
    }
    // The picture's top row is the last one read back.
    const ptrdiff_t drawnRowBytes = static_cast<ptrdiff_t>(m_picture.width) * 3;
    ShrinkByBlocks(m_drawn.data() + (m_picture.height - 1) * drawnRowBytes, -drawnRowBytes, m_picture.width,
                   m_picture.height, m_output.supersample, rgb + m_shown.y * rowBytes + barBytes, rowBytes);
}

std::vector<uint8_t> FrameGrabber::Read()
{
    std::vector<uint8_t> rgb(static_cast<size_t>(m_output.size.width) * m_output.size.height * 3);
    Read(rgb.data());
    return rgb;
}
