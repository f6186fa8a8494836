// PNG through libpng's simplified API.
#include "capture/png_writer.h"

#include "base/error.h"
#include "base/output_file.h"

#include <png.h>

void WritePngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        ThrowFileError(path, "image size does not match its pixels");
    OutputFile file(path);
    WritePngRgb(file, width, height, rgb);
}

void WritePngRgb(OutputFile& file, int width, int height, const std::vector<uint8_t>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        ThrowFileError(file.Path(), "image size does not match its pixels");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_stdio(&image, file.Stream(), 0, rgb.data(), width * 3, nullptr))
        ThrowFileError(file.Path(), StrFormat("cannot write PNG (%s)", image.message));
    file.Commit();
}

std::vector<uint8_t> ReadPngRgb(const std::string& path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        ThrowFileError(path, StrFormat("cannot read PNG (%s)", image.message));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        ThrowFileError(path, StrFormat("cannot read PNG (%s)", image.message));
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}
