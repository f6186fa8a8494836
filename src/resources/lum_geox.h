// lum_geox: triangle meshes with one texture coordinate pair per vertex, read from binary
// or text geox files and from folders listed in "geox.list"; normals; drawing
// with the file's y and z exchanged (file z is up).
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
// One entry of a "geox.list", as LoadGeoxList loads it.
struct GeoxListEntry {
    std::string entry; // the line, lower case (not yet cut to 32 characters)
    std::string path;  // folder + entry
    bool text = false; // a text geox file (the entry contains ".textgeox")
};
// Reads the list file: its entries in order, as ParseGeoxList reads them. FatalError naming
// it when it cannot be read.
std::vector<GeoxListEntry> ReadGeoxListEntries(std::string_view folder, std::string_view listName);
// Loads the mesh of an entry with the reader its name asks for.
void LoadGeoxListEntry(GeoxMesh& mesh, const GeoxListEntry& entry);
std::string FilterGeoxName(std::string_view entry);

void ComputeFaceNormals(GeoxMesh& mesh);
void ComputeVertexNormals(GeoxMesh& mesh);
// How many triangle corners name each vertex (a vertex named twice by one triangle counts
// twice): what ComputeVertexNormals divides by. It depends on the triangles alone, so a mesh
// whose heights change every frame (the water surface) counts once, at load, and renews its
// normals with the overload below without allocating; the normals are the same.
std::vector<int32_t> CountVertexUses(const GeoxMesh& mesh);
void ComputeVertexNormals(GeoxMesh& mesh, const std::vector<int32_t>& useCounts);

void DrawGeox(const GeoxMesh& mesh, bool withTexCoords, bool withFaceNormals, bool withVertexNormals);
void DrawGeoxPlain(const GeoxMesh& mesh);
void DrawGeoxLit(const GeoxMesh& mesh);
void DrawGeoxTextured(const GeoxMesh& mesh);
