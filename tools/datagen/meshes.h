// The mesh families of the data set and the shared steps that write a mesh folder: its
// meshes, its "geox.list" and its "textures.ini" with the pictures it names.
#pragma once

#include "datagen/image.h"
#include "datagen/mesh_primitives.h"
#include "datagen/writers.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One entry of a "geox.list": the entry as written (case kept) and its mesh. Entries whose
// name contains ".textgeox" in any case are written as text geox.
struct FolderMesh {
    std::string entry;
    MeshData mesh;
};

enum class PictureFile { Jpeg, PackedJpeg, Bmp32 };

// One texture of a folder's "textures.ini", named by the filtered mesh name it is for.
struct FolderTexture {
    FolderTexture(std::string textureName, Canvas canvas, bool withAlpha = false,
                  PictureFile file = PictureFile::PackedJpeg, std::string filterMode = {})
        : name(std::move(textureName)), picture(std::move(canvas)), alpha(withAlpha), format(file),
          filter(std::move(filterMode)) {}
    // A texture with larger images too (LargerImageScales), for pictures drawn large: `paint`
    // paints its picture at a size, the data's own being `size`.
    FolderTexture(std::string textureName, const std::function<Canvas(int size)>& paint, int size,
                  PictureFile file = PictureFile::PackedJpeg)
        : FolderTexture(std::move(textureName), paint(size), false, file)
    {
        paintLarger = [paint, size](int scale) { return paint(size * scale); };
    }
    std::string name;
    Canvas picture;
    bool alpha;         // an alpha map is written from the canvas alpha
    PictureFile format;
    std::string filter; // "" leaves the key out (mode 0)
    std::function<Canvas(int scale)> paintLarger; // empty: no larger images
};

// Writes a single mesh file (binary geox) at a path below Data.
void WriteMesh(const DataTree& tree, const std::string& path, const MeshBuilder& mesh);
// Writes folder/<entry> for every mesh and folder/geox.list, then `trailingEmptyLines`.
void WriteMeshFolder(const DataTree& tree, const std::string& folder, const std::vector<FolderMesh>& meshes,
                     int trailingEmptyLines = 0);
// Writes the pictures and folder/textures.ini.
void WriteFolderTextures(const DataTree& tree, const std::string& folder, const std::vector<FolderTexture>& textures);

// The families, one file each.
void GenerateLandscapeMeshes(const DataTree& tree); // leaves, plane, sphere, grass, tree, season, window, beacon, silhouette
void GenerateGiorlMeshes(const DataTree& tree);     // the swing set and the burn set
void GenerateYardMeshes(const DataTree& tree);      // yard, cup, stair, sign
void GenerateFigureMeshes(const DataTree& tree);    // killer, dead figure, killself figure, hand
void GenerateWaterMeshes(const DataTree& tree);     // water surface, floating leaves, pond bottom
