// Writers of the image, mesh, camera and list formats, and the output tree. All byte
// layouts are little-endian; text files end their lines with CR LF like the lists the
// program was made with.
#include "datagen/writers.h"

#include "base/byte_order.h"
#include "base/error.h"
#include "base/files.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

void CheckImage(const char* writer, int width, int height, size_t bytes, int channels)
{
    if (width <= 0 || height <= 0 || bytes != static_cast<size_t>(width) * height * channels)
        throw FatalError(StrFormat("%s: image of %dx%d has %zu bytes, expected %d per pixel", writer,
                                   width, height, bytes, channels));
}

// libjpeg reports errors through a callback that must not return: it jumps back to
// CompressJpeg, which cleans up and raises the error (no exception crosses the C library).
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

void EscapeJpegError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    manager->base.format_message(info, manager->message);
    std::longjmp(manager->escape, 1);
}

std::vector<uint8_t> CompressJpeg(const uint8_t* pixels, int width, int height, int channels, int quality)
{
    jpeg_compress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = EscapeJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw FatalError(StrFormat("EncodeJpeg: %s", errors.message));
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = channels;
    info.in_color_space = channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<size_t>(info.next_scanline) * width * channels);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> result(buffer, buffer + size);
    std::free(buffer);
    return result;
}

// BITMAPFILEHEADER and BITMAPINFOHEADER of an uncompressed bottom-up bitmap.
void PutBmpHeaders(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, uint32_t imageBytes)
{
    out.push_back('B');
    out.push_back('M');
    AppendLE(out, 14 + 40 + imageBytes, 4);
    AppendLE(out, 0, 4);
    AppendLE(out, 14 + 40, 4);
    AppendLE(out, 40, 4);
    AppendLE(out, static_cast<uint32_t>(width), 4);
    AppendLE(out, static_cast<uint32_t>(height), 4);
    AppendLE(out, 1, 2);
    AppendLE(out, static_cast<uint32_t>(bitsPerPixel), 2);
    AppendLE(out, 0, 4); // BI_RGB
    AppendLE(out, imageBytes, 4);
    AppendLE(out, 2835, 4); // 72 dpi
    AppendLE(out, 2835, 4);
    AppendLE(out, 0, 4);
    AppendLE(out, 0, 4);
}

std::vector<uint8_t> EncodeBmp(const RgbImage& image, int bytesPerPixel)
{
    CheckImage("EncodeBmp", image.width, image.height, image.pixels.size(), 3);
    const size_t rowBytes = (static_cast<size_t>(image.width) * bytesPerPixel + 3) / 4 * 4;
    const size_t imageBytes = rowBytes * image.height;
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    PutBmpHeaders(out, image.width, image.height, bytesPerPixel * 8, static_cast<uint32_t>(imageBytes));
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = &image.pixels[static_cast<size_t>(y) * image.width * 3];
        for (int x = 0; x < image.width; ++x) {
            out.push_back(row[3 * x + 2]);
            out.push_back(row[3 * x + 1]);
            out.push_back(row[3 * x + 0]);
            if (bytesPerPixel == 4) out.push_back(255);
        }
        for (size_t pad = static_cast<size_t>(image.width) * bytesPerPixel; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

// Shortest text that reads back as the same float.
std::string FloatText(float value)
{
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const RgbImage& image, int quality)
{
    CheckImage("EncodeJpeg", image.width, image.height, image.pixels.size(), 3);
    return CompressJpeg(image.pixels.data(), image.width, image.height, 3, quality);
}

std::vector<uint8_t> EncodeGreyJpeg(const GreyImage& image, int quality)
{
    CheckImage("EncodeGreyJpeg", image.width, image.height, image.pixels.size(), 1);
    return CompressJpeg(image.pixels.data(), image.width, image.height, 1, quality);
}

std::vector<uint8_t> EncodeBmp32(const RgbImage& image) { return EncodeBmp(image, 4); }

std::vector<uint8_t> EncodeBmp24(const RgbImage& image) { return EncodeBmp(image, 3); }

namespace {

void CheckMesh(const char* writer, const MeshData& mesh)
{
    const size_t count = mesh.vertices.size();
    for (const auto& triangle : mesh.triangles)
        for (int32_t index : triangle)
            if (index < 0 || static_cast<size_t>(index) >= count)
                throw FatalError(StrFormat("%s: vertex index %d outside the %zu vertices", writer, index, count));
}

} // namespace

std::vector<uint8_t> EncodeGeox(const MeshData& mesh)
{
    CheckMesh("EncodeGeox", mesh);
    std::vector<uint8_t> out;
    out.reserve(8 + 20 * mesh.vertices.size() + 12 * mesh.triangles.size());
    AppendLE(out, static_cast<uint32_t>(mesh.vertices.size()), 4);
    AppendLE(out, static_cast<uint32_t>(mesh.triangles.size()), 4);
    for (const MeshVertex& v : mesh.vertices) {
        AppendFloatLE(out, v.x);
        AppendFloatLE(out, v.y);
        AppendFloatLE(out, v.z);
        AppendFloatLE(out, v.u);
        AppendFloatLE(out, v.v);
    }
    for (const auto& triangle : mesh.triangles)
        for (int32_t index : triangle) AppendLE(out, static_cast<uint32_t>(index), 4);
    return out;
}

std::string EncodeTextGeox(const MeshData& mesh)
{
    CheckMesh("EncodeTextGeox", mesh);
    std::string text = StrFormat("%zu\r\n%zu\r\n", mesh.vertices.size(), mesh.triangles.size());
    for (const MeshVertex& v : mesh.vertices) {
        text += FloatText(v.x) + ' ' + FloatText(v.y) + ' ' + FloatText(v.z) + ' ' + FloatText(v.u) + ' ' +
                FloatText(v.v) + "\r\n";
    }
    for (const auto& triangle : mesh.triangles)
        text += StrFormat("%d %d %d\r\n", triangle[0], triangle[1], triangle[2]);
    return text;
}

std::vector<uint8_t> EncodeCamera(const std::vector<CameraKey>& records)
{
    std::vector<uint8_t> out;
    out.reserve(40 * records.size());
    for (const CameraKey& record : records)
        for (float value : record) AppendFloatLE(out, value);
    return out;
}

std::string EncodeTextureList(const std::vector<TextureListEntry>& entries)
{
    std::string text;
    for (const TextureListEntry& entry : entries) {
        if (!text.empty()) text += "\r\n";
        text += StrFormat("[texture%d]\r\n", entry.index);
        if (!entry.name.empty()) text += "name=" + entry.name + "\r\n";
        if (!entry.filename.empty()) text += "filename=" + entry.filename + "\r\n";
        if (!entry.filenameAlpha.empty()) text += "filenamealpha=" + entry.filenameAlpha + "\r\n";
        if (!entry.filter.empty()) text += "filter=" + entry.filter + "\r\n";
    }
    return text;
}

std::string EncodeGeoxList(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries) text += entry + "\r\n";
    return text;
}

DataTree::DataTree(std::string dataFolder) : m_folder(std::move(dataFolder)) {}

DataTree LargerImageTree(const DataTree& tree, int scale)
{
    return DataTree((std::filesystem::path(tree.Folder()) / (std::to_string(scale) + "x")).string());
}

void DataTree::Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const
{
    const std::filesystem::path path = std::filesystem::path(m_folder) / relativePath;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) ThrowFileError(path.parent_path().string(), "cannot create folder (" + error.message() + ")");
    WriteFileBytes(path.string(), bytes.data(), bytes.size());
}

void DataTree::Write(const std::string& relativePath, const std::string& text) const
{
    Write(relativePath, std::vector<uint8_t>(text.begin(), text.end()));
}
