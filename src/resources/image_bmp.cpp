// BMP reader: uncompressed 24-bit and 32-bit Windows bitmaps (BITMAPINFOHEADER or a later
// header). Every header field is checked against the file before a pixel is read.
#include "resources/image_readers.h"

#include "base/byte_order.h"
#include "base/error.h"
#include "base/files.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

[[noreturn]] void Fail(std::string_view name, const std::string& fault)
{
    ThrowFileError(name, "BMP: " + fault);
}

} // namespace

DecodedImage DecodeBmp(const uint8_t* data, size_t size, std::string_view name)
{
    if (size < kFileHeaderSize + kInfoHeaderSize) Fail(name, StrFormat("file truncated (%zu bytes)", size));
    if (data[0] != 'B' || data[1] != 'M') Fail(name, "not a BMP file (no \"BM\" signature)");

    const uint32_t pixelOffset = ReadU32LE(data + 10);
    const uint32_t headerSize = ReadU32LE(data + 14);
    if (headerSize < kInfoHeaderSize || headerSize > size - kFileHeaderSize)
        Fail(name, StrFormat("unsupported or truncated info header (%u bytes)", headerSize));
    const int32_t width = static_cast<int32_t>(ReadU32LE(data + 18));
    const int32_t rawHeight = static_cast<int32_t>(ReadU32LE(data + 22));
    const uint16_t planes = ReadU16LE(data + 26);
    const uint16_t bitsPerPixel = ReadU16LE(data + 28);
    const uint32_t compression = ReadU32LE(data + 30);

    if (planes != 1) Fail(name, StrFormat("%u planes, expected 1", planes));
    if (bitsPerPixel != 24 && bitsPerPixel != 32)
        Fail(name, StrFormat("%u bits per pixel, only 24 and 32 are read", bitsPerPixel));
    if (compression == kCompressionBitFields && bitsPerPixel == 32) {
        // Only the masks that describe the usual B, G, R, unused byte order are accepted.
        if (size < kFileHeaderSize + kInfoHeaderSize + 12) Fail(name, "file truncated in its colour masks");
        const uint8_t* masks = data + kFileHeaderSize + kInfoHeaderSize;
        if (ReadU32LE(masks) != 0x00FF0000 || ReadU32LE(masks + 4) != 0x0000FF00 || ReadU32LE(masks + 8) != 0x000000FF)
            Fail(name, "colour masks other than 8-bit blue, green, red are not read");
    } else if (compression != kCompressionNone) {
        Fail(name, StrFormat("compression %u is not read", compression));
    }
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        Fail(name, StrFormat("invalid size %d x %d", width, rawHeight));
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (width > kMaxImageSide || height > kMaxImageSide || int64_t{width} * height > kMaxImagePixels)
        Fail(name, StrFormat("image of %d x %d is too large", width, height));

    const size_t bytesPerPixel = bitsPerPixel / 8;
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    const size_t stride = (rowBytes + 3) & ~size_t{3};
    // The last row may go without its padding.
    const size_t pixelBytes = stride * static_cast<size_t>(height - 1) + rowBytes;
    if (pixelOffset < kFileHeaderSize + headerSize || pixelOffset > size || size - pixelOffset < pixelBytes)
        Fail(name, StrFormat("file truncated (%zu bytes, pixels need %zu from offset %u)", size, pixelBytes,
                             pixelOffset));

    DecodedImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t fileRow = topDown ? y : height - 1 - y;
        const uint8_t* source = data + pixelOffset + stride * static_cast<size_t>(fileRow);
        uint8_t* target = image.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
        for (int32_t x = 0; x < width; ++x, source += bytesPerPixel, target += 3) {
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
        }
    }
    return image;
}

DecodedImage ReadBmpFile(std::string_view path)
{
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    return DecodeBmp(bytes.data(), bytes.size(), path);
}
