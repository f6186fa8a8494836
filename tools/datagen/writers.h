// Writers for every data format the piece reads. Each returns the file's bytes; DataTree
// puts them below DIR/Data. Everything is deterministic: same input, same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A mesh in file coordinates: z is up (the loader draws (x, z, y)).
struct MeshVertex {
    float x, y, z, u, v;
};
struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<std::array<int32_t, 3>> triangles;
};

// Images, top row first, left to right.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels; // 3 bytes a pixel: R, G, B
};
struct GreyImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels; // 1 byte a pixel
};

// Ten floats in file order: fov, eye xyz, centre xyz, up xyz.
using CameraKey = std::array<float, 10>;

// One section of a "textures.ini" list. Empty strings leave the key out.
struct TextureListEntry {
    int index = 0;            // section "texture<index>"
    std::string name;
    std::string filename;
    std::string filenameAlpha;
    std::string filter;       // written as given: "1", "0x2", "$0" ...
};

std::vector<uint8_t> EncodeLzhufPacked(const std::vector<uint8_t>& data,
                                       const std::array<uint8_t, 13>& header = {});
std::vector<uint8_t> EncodeJpeg(const RgbImage& image, int quality = 90);
std::vector<uint8_t> EncodeGreyJpeg(const GreyImage& image, int quality = 92);
std::vector<uint8_t> EncodeBmp32(const RgbImage& image);
std::vector<uint8_t> EncodeBmp24(const RgbImage& image);
std::vector<uint8_t> EncodeGeox(const MeshData& mesh);
std::string EncodeTextGeox(const MeshData& mesh);
// Record 0 of a ".camera" file is a placeholder: pass it as keys[0] (zeros, usually).
std::vector<uint8_t> EncodeCamera(const std::vector<CameraKey>& records);
std::string EncodeTextureList(const std::vector<TextureListEntry>& entries);
// "geox.list": one entry a line, CR LF.
std::string EncodeGeoxList(const std::vector<std::string>& entries);

// The output folder DIR/Data. Paths are relative to Data and written with '/'.
class DataTree {
public:
    explicit DataTree(std::string dataFolder);
    void Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const;
    void Write(const std::string& relativePath, const std::string& text) const;
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The tree of the images `scale` times larger on each side (Data/2x, Data/4x), which the piece
// takes instead of the images of the same path in `tree` when its picture is drawn large
// (LargerImageScales, lum_textures).
DataTree LargerImageTree(const DataTree& tree, int scale);
