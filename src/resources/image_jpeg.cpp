// JPEG reader on libjpeg(-turbo), from a file or from memory. The library reports errors
// through an error manager that would normally end the process; ours jumps back here and
// raises FatalError instead. Warnings mean corrupt or truncated data and are errors too,
// so a damaged file never becomes a half-grey texture.
#include "resources/image_readers.h"

#include "base/error.h"
#include "base/files.h"
#include "resources/norvikpack.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    manager->code = info->err->msg_code;
    info->err->format_message(info, manager->text);
    std::longjmp(manager->jump, 1);
}

void JumpOnWarning(j_common_ptr info, int level)
{
    if (level < 0) JumpOnError(info);
}

// The steps that libjpeg may leave with its jump hold nothing but plain data and call nothing
// that throws: a jump over a destructor would skip it, and WebAssembly's exceptions cannot share
// a function with setjmp at all. Each step returns false when libjpeg reported an error.

// Reads the header and settles the output: RGB, at the image's own size.
bool ReadHeader(jpeg_decompress_struct& info, JpegErrorManager& errors,
                void (*attachSource)(j_decompress_ptr, const void*), const void* source)
{
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    attachSource(&info, source);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    return true;
}

// Decodes every row into rgb, rowBytes apart.
bool ReadRows(jpeg_decompress_struct& info, JpegErrorManager& errors, uint8_t* rgb, size_t rowBytes)
{
    if (setjmp(errors.jump)) return false;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

// The source is attached by the caller's function.
DecodedImage Decode(void (*attachSource)(j_decompress_ptr, const void*), const void* source,
                    std::string_view name)
{
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnError;
    errors.base.emit_message = JumpOnWarning;
    const auto fail = [&] {
        jpeg_destroy_decompress(&info);
        ThrowFileError(name, StrFormat("JPEG error #%d (%s)", errors.code, errors.text));
    };
    if (!ReadHeader(info, errors, attachSource, source)) fail();
    if (info.output_width > static_cast<JDIMENSION>(kMaxImageSide) ||
        info.output_height > static_cast<JDIMENSION>(kMaxImageSide) ||
        int64_t{info.output_width} * info.output_height > kMaxImagePixels) {
        const unsigned width = info.output_width, height = info.output_height;
        jpeg_destroy_decompress(&info);
        ThrowFileError(name, StrFormat("JPEG image of %u x %u is too large", width, height));
    }
    DecodedImage image;
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    image.rgb.resize(rowBytes * static_cast<size_t>(image.height));
    if (!ReadRows(info, errors, image.rgb.data(), rowBytes)) fail();
    jpeg_destroy_decompress(&info);
    return image;
}

struct MemorySource {
    const uint8_t* data;
    size_t size;
};

void AttachMemory(j_decompress_ptr info, const void* source)
{
    const auto* memory = static_cast<const MemorySource*>(source);
    jpeg_mem_src(info, memory->data, static_cast<unsigned long>(memory->size));
}

void AttachFile(j_decompress_ptr info, const void* source)
{
    jpeg_stdio_src(info, static_cast<std::FILE*>(const_cast<void*>(source)));
}

} // namespace

DecodedImage DecodeJpeg(const uint8_t* data, size_t size, std::string_view name)
{
    if (size == 0) ThrowFileError(name, "JPEG data is empty");
    const MemorySource source{data, size};
    return Decode(&AttachMemory, &source, name);
}

DecodedImage ReadJpegFile(std::string_view path)
{
    FilePtr file = OpenForReading(path);
    return Decode(&AttachFile, file.get(), path);
}

DecodedImage DecodeUnpackedJpeg(int32_t size, std::string_view name)
{
    if (size == 0) ThrowFileError(name, "packed image is empty (unpacked size 0)");
    return DecodeJpeg(UnpackBuffer, static_cast<size_t>(size), name);
}
