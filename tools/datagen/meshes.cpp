// Writes the mesh part of the data set: every single mesh and every mesh folder, with the
// folder lists and texture lists. The families live in the mesh_*.cpp files; this file
// holds the steps they share and the order they run in.
#include "datagen/meshes.h"

#include "datagen/families.h"

#include "base/picture_size.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsTextGeox(const std::string& entry)
{
    std::string lower = entry;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.find(".textgeox") != std::string::npos;
}

// Writes one picture in the requested format and returns the file name the list names:
// a packed JPEG is listed by its plain name, which the loader extends with ".packed".
std::string WritePicture(const DataTree& tree, const std::string& folder, const std::string& base,
                         const RgbImage& image, PictureFile format)
{
    switch (format) {
    case PictureFile::Bmp32:
        tree.Write(folder + base + ".bmp", EncodeBmp32(image));
        return base + ".bmp";
    case PictureFile::PackedJpeg:
        tree.Write(folder + base + ".jpg.packed", EncodeLzhufPacked(EncodeJpeg(image)));
        return base + ".jpg";
    case PictureFile::Jpeg:
        break;
    }
    tree.Write(folder + base + ".jpg", EncodeJpeg(image));
    return base + ".jpg";
}

// Writes a folder texture's picture (and its alpha map when it has one, packed); as plain
// JPEGs when `plain`, else in the texture's format. Returns the file name the list names.
std::string WritePictures(const DataTree& tree, const std::string& folder, const FolderTexture& texture,
                          const Canvas& picture, bool plain)
{
    if (texture.alpha) {
        const std::vector<uint8_t> alpha = EncodeGreyJpeg(AlphaToGrey(picture));
        if (plain) tree.Write(folder + texture.name + "_alpha.jpg", alpha);
        else tree.Write(folder + texture.name + "_alpha.jpg.packed", EncodeLzhufPacked(alpha));
    }
    return WritePicture(tree, folder, texture.name, ToRgb(picture), plain ? PictureFile::Jpeg : texture.format);
}

} // namespace

void WriteMesh(const DataTree& tree, const std::string& path, const MeshBuilder& mesh)
{
    tree.Write(path, EncodeGeox(mesh.ToFile()));
}

void WriteMeshFolder(const DataTree& tree, const std::string& folder, const std::vector<FolderMesh>& meshes,
                     int trailingEmptyLines)
{
    std::vector<std::string> lines;
    for (const FolderMesh& m : meshes) {
        if (IsTextGeox(m.entry)) {
            tree.Write(folder + m.entry, EncodeTextGeox(m.mesh));
        } else {
            tree.Write(folder + m.entry, EncodeGeox(m.mesh));
        }
        lines.push_back(m.entry);
    }
    lines.insert(lines.end(), trailingEmptyLines, std::string());
    tree.Write(folder + "geox.list", EncodeGeoxList(lines));
}

void WriteFolderTextures(const DataTree& tree, const std::string& folder, const std::vector<FolderTexture>& textures)
{
    std::vector<TextureListEntry> entries;
    for (const FolderTexture& t : textures) {
        TextureListEntry entry;
        entry.index = static_cast<int>(entries.size());
        entry.name = t.name;
        entry.filter = t.filter;
        // A plain JPEG named like the texture is the list's default file name: leave the key
        // out then, as hand-written lists do.
        std::string file = WritePictures(tree, folder, t, t.picture, false);
        if (t.format != PictureFile::Jpeg) {
            entry.filename = file;
        }
        if (t.alpha) entry.filenameAlpha = t.name + "_alpha.jpg";
        entries.push_back(entry);
    }
    tree.Write(folder + "textures.ini", EncodeTextureList(entries));
    // The larger images go below Data/<scale>x under the same names, as plain JPEGs.
    for (const LargerImages& larger : LargerImageScales)
        for (const FolderTexture& t : textures)
            if (t.paintLarger)
                WritePictures(LargerImageTree(tree, larger.scale), folder, t, t.paintLarger(larger.scale), true);
}

void GenerateMeshes(const DataTree& tree)
{
    GenerateLandscapeMeshes(tree);
    GenerateGiorlMeshes(tree);
    GenerateYardMeshes(tree);
    GenerateFigureMeshes(tree);
    GenerateWaterMeshes(tree);
}
