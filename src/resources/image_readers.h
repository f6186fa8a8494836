// Image readers of the texture library, one file per format (image_bmp.cpp,
// image_jpeg.cpp). Each decodes to 8-bit RGB, top row first, and raises FatalError naming
// the file and the fault for anything it cannot read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Larger images than this are refused before anything is allocated for them.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{8192} * 8192;

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width x height x 3 bytes: R, G, B; row 0 is the top row
};

// 32-bit (B, G, R, unused) or 24-bit (B, G, R) uncompressed BMP, rows bottom-up or top-down.
DecodedImage DecodeBmp(const uint8_t* data, size_t size, std::string_view name);
DecodedImage ReadBmpFile(std::string_view path);

// Any JPEG the decoder reads, converted to RGB at full size. Decoder errors and warnings
// (corrupt or truncated data) raise "JPEG error #<number>".
DecodedImage DecodeJpeg(const uint8_t* data, size_t size, std::string_view name);
DecodedImage ReadJpegFile(std::string_view path);
// The JPEG a ".packed" file held: the first `size` bytes of UnpackBuffer, as the last unpack
// left them. An empty one is refused (it would decode whatever an earlier file left there).
DecodedImage DecodeUnpackedJpeg(int32_t size, std::string_view name);
