// Test image writers (see image_files.h).
#include "image_files.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

void TestPicture::Set(int x, int y, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    pixel[0] = r;
    pixel[1] = g;
    pixel[2] = b;
}

TestPicture BlockPicture(int blocksWide, int blocksHigh)
{
    static const uint8_t kColours[][3] = {{220, 30, 30}, {30, 200, 40}, {40, 50, 210}, {230, 220, 40},
                                          {240, 240, 240}, {20, 20, 20}, {200, 40, 200}, {40, 200, 200}};
    TestPicture picture{blocksWide * 8, blocksHigh * 8, {}};
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* colour = kColours[(y / 8 * blocksWide + x / 8) % 8];
            picture.Set(x, y, colour[0], colour[1], colour[2]);
        }
    }
    return picture;
}

std::vector<uint8_t> JpegBytes(const TestPicture& picture, bool grey)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    // Full-resolution colour, so flat blocks come back within a few levels.
    for (int c = 0; c < info.num_components; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    while (info.next_scanline < info.image_height) {
        const uint8_t* source = &picture.rgb[static_cast<size_t>(info.next_scanline) * picture.width * 3];
        for (int x = 0; x < picture.width; ++x) {
            if (grey) {
                row[static_cast<size_t>(x)] = source[x * 3 + 2]; // the blue byte is the level
            } else {
                for (int c = 0; c < 3; ++c) row[static_cast<size_t>(x * 3 + c)] = source[x * 3 + c];
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

namespace {

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

std::vector<uint8_t> BmpBytes(const TestPicture& picture, int bitsPerPixel, bool topDown)
{
    const size_t bytesPerPixel = static_cast<size_t>(bitsPerPixel / 8);
    const size_t stride = (picture.width * bytesPerPixel + 3) & ~size_t{3};
    std::vector<uint8_t> bytes(54 + stride * static_cast<size_t>(picture.height), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    PutU32(bytes, 10, 54);
    PutU32(bytes, 14, 40);
    PutU32(bytes, 18, static_cast<uint32_t>(picture.width));
    PutU32(bytes, 22, static_cast<uint32_t>(topDown ? -picture.height : picture.height));
    bytes[26] = 1;
    bytes[28] = static_cast<uint8_t>(bitsPerPixel);
    for (int y = 0; y < picture.height; ++y) {
        const int fileRow = topDown ? y : picture.height - 1 - y;
        uint8_t* target = &bytes[54 + stride * static_cast<size_t>(fileRow)];
        for (int x = 0; x < picture.width; ++x, target += bytesPerPixel) {
            const uint8_t* source = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
            if (bytesPerPixel == 4) target[3] = 0x99;
        }
    }
    return bytes;
}
