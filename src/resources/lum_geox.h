// lum_geox: triangle meshes with one texture coordinate pair per vertex, read from binary
// or text geox files and from folders listed in "geox.list"; normals; immediate-mode
// drawing with the file's y and z exchanged (file z is up).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct GeoxVertex {
    float x, y, z;    // file order
    float u, v;
    float nx, ny, nz; // drawn order, from ComputeVertexNormals
};

struct GeoxTriangle {
    int32_t i0, i1, i2;
    float nx, ny, nz; // drawn order, from ComputeFaceNormals
};

struct GeoxMesh {
    uint32_t displayList = 0;
    int32_t triangleCount = 0;
    int32_t vertexCount = 0;
    std::vector<GeoxVertex> vertices;
    std::vector<GeoxTriangle> triangles;
};

struct GeoxList {
    int32_t count = 0;
    std::vector<GeoxMesh> meshes;
    std::vector<std::string> names;         // the entry, lower case, at most 32 characters
    std::vector<std::string> filteredNames; // FilterGeoxName of the entry, at most 32 characters
};

// Both readers reject negative counts, counts the file cannot hold, short files, bad
// numbers, a vertex number that is not finite or lies beyond 1e7 in magnitude, and vertex
// indices outside 0 .. V-1 with FatalError naming the file (and the vertex or triangle),
// before the mesh is touched; on success they replace the arrays and counts (not
// displayList).
void LoadGeox(GeoxMesh& mesh, std::string_view path);
void LoadTextGeox(GeoxMesh& mesh, std::string_view path);
// The same readers on bytes already in memory; `path` is the file named in errors.
void ParseGeox(GeoxMesh& mesh, const uint8_t* data, size_t size, std::string_view path);
void ParseTextGeox(GeoxMesh& mesh, std::string_view text, std::string_view path);
// The entries of a "geox.list" text, in lower case: its lines up to the last one that is not
// empty. An empty line before that (it would name the folder itself) or a NUL byte is a
// FatalError naming the list and the line.
std::vector<std::string> ParseGeoxList(std::string_view text, std::string_view listPath);
// Reads folder + listName and loads every entry from the folder. A missing or unreadable
// list is a FatalError naming it; a list without entries loads as an empty list, with a
// warning naming it.
void LoadGeoxList(GeoxList& list, std::string_view folder, std::string_view listName);
std::string FilterGeoxName(std::string_view entry);

void ComputeFaceNormals(GeoxMesh& mesh);
void ComputeVertexNormals(GeoxMesh& mesh);

void DrawGeox(const GeoxMesh& mesh, bool withTexCoords, bool withFaceNormals, bool withVertexNormals);
void DrawGeoxPlain(const GeoxMesh& mesh);
void DrawGeoxLit(const GeoxMesh& mesh);
void DrawGeoxTextured(const GeoxMesh& mesh);
