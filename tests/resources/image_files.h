// Test images: small RGB pictures written as JPEG (through libjpeg) or BMP (by hand), so
// the loaders can be checked against pixels the test knows.
#pragma once

#include <cstdint>
#include <vector>

struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // top row first
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b);
};

// Blocks of 8 x 8 pixels in flat colours, which JPEG (written without chroma
// subsampling) keeps nearly exact.
TestPicture BlockPicture(int blocksWide, int blocksHigh);

std::vector<uint8_t> JpegBytes(const TestPicture& picture, bool grey = false);
// bitsPerPixel 24 or 32; topDown writes a negative height and rows top first.
std::vector<uint8_t> BmpBytes(const TestPicture& picture, int bitsPerPixel, bool topDown);
