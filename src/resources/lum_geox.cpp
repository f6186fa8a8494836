// lum_geox: binary and text geox readers, "geox.list" folders, face and vertex normals,
// and the draw calls. Files keep z as the height axis; everything computed
// or drawn here is in drawn order (x, z, y).
#include "resources/lum_geox.h"

#include "base/byte_order.h"
#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "gl/gl.h"
#include "resources/lum_log.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kGeoxHeaderBytes = 8;
constexpr size_t kGeoxVertexBytes = 20;
constexpr size_t kGeoxTriangleBytes = 12;
constexpr size_t kGeoxNameLength = 32;
constexpr std::string_view kTextGeoxMarker = ".textgeox";
// No mesh of the piece comes near this; a number beyond it is damage, and would make normals
// and the depth range fall apart.
constexpr float kMaxMeshNumber = 1e7f;

// What is wrong with a vertex's five numbers, or "" when they are all finite and in bounds.
std::string VertexNumberFault(const GeoxVertex& vertex)
{
    const struct {
        const char* name;
        float value;
    } fields[] = {{"x", vertex.x}, {"y", vertex.y}, {"z", vertex.z}, {"u", vertex.u}, {"v", vertex.v}};
    for (const auto& field : fields) {
        if (!std::isfinite(field.value))
            return StrFormat("has a non-finite %s (%g)", field.name, static_cast<double>(field.value));
        if (std::fabs(field.value) > kMaxMeshNumber)
            return StrFormat("has %s = %g, beyond the bound of 1e7", field.name, static_cast<double>(field.value));
    }
    return {};
}

void CheckCounts(int32_t vertexCount, int32_t triangleCount, std::string_view path)
{
    if (vertexCount < 0 || triangleCount < 0)
        ThrowFileError(path, StrFormat("negative counts (%d vertices, %d triangles)", vertexCount, triangleCount));
}

// Every index must name a vertex; checked before the mesh is replaced or drawn.
bool IndicesValid(const GeoxTriangle& triangle, int32_t vertexCount)
{
    for (const int32_t index : {triangle.i0, triangle.i1, triangle.i2})
        if (index < 0 || index >= vertexCount) return false;
    return true;
}

std::string BadIndexFault(const GeoxTriangle& triangle, int32_t number, int32_t vertexCount)
{
    return StrFormat("triangle %d has vertex indices %d %d %d; the mesh has %d vertices", number,
                     triangle.i0, triangle.i1, triangle.i2, vertexCount);
}

// What DrawGeox hands to GL: the positions exchanged into drawn order and the indices
// packed, rebuilt on every draw (a mesh may change between draws, as the water surface
// does). One store serves every mesh; it is sized as meshes are read, so drawing them does
// not allocate.
struct DrawArrays {
    std::vector<float> positions;
    std::vector<uint32_t> indices;
};

DrawArrays& SharedDrawArrays()
{
    static DrawArrays arrays;
    return arrays;
}

void MakeRoomToDraw(size_t vertices, size_t triangles)
{
    DrawArrays& arrays = SharedDrawArrays();
    if (arrays.positions.size() < vertices * 3) arrays.positions.resize(vertices * 3);
    if (arrays.indices.size() < triangles * 3) arrays.indices.resize(triangles * 3);
}

void ReplaceMesh(GeoxMesh& mesh, std::vector<GeoxVertex>&& vertices, std::vector<GeoxTriangle>&& triangles)
{
    MakeRoomToDraw(vertices.size(), triangles.size());
    mesh.vertexCount = static_cast<int32_t>(vertices.size());
    mesh.triangleCount = static_cast<int32_t>(triangles.size());
    mesh.vertices = std::move(vertices);
    mesh.triangles = std::move(triangles);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Numbers of a text geox file: blank-separated tokens over lines, each token a whole
// number in its own right ("12abc" is an error, not 12).
class GeoxTextReader {
public:
    GeoxTextReader(std::string_view text, std::string_view path) : m_text(text), m_path(path) {}

    size_t Remaining() const { return m_text.size() - m_position; }

    void SkipLine()
    {
        const size_t end = m_text.find('\n', m_position);
        if (end == std::string_view::npos) {
            m_position = m_text.size();
            return;
        }
        m_position = end + 1;
        ++m_line;
    }

    int32_t ReadInteger(const char* what)
    {
        const std::string_view token = WithoutPlus(NextToken(what));
        int32_t value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size() || token.empty())
            Fail(StrFormat("invalid integer \"%.*s\" for %s", static_cast<int>(m_token.size()), m_token.data(), what));
        return value;
    }

    float ReadReal(const char* what)
    {
        const std::string_view token = WithoutPlus(NextToken(what));
        float value = 0;
        if (!ParseReal(token, value) || !LooksDecimal(token))
            Fail(StrFormat("invalid number \"%.*s\" for %s", static_cast<int>(m_token.size()), m_token.data(), what));
        return value;
    }

    [[noreturn]] void Fail(const std::string& fault) const
    {
        ThrowFileError(m_path, StrFormat("line %d: %s", m_line, fault.c_str()));
    }

private:
    std::string_view NextToken(const char* what)
    {
        while (m_position < m_text.size() && IsSpace(m_text[m_position])) {
            if (m_text[m_position] == '\n') ++m_line;
            ++m_position;
        }
        if (m_position == m_text.size()) Fail(StrFormat("file ends before %s", what));
        const size_t start = m_position;
        while (m_position < m_text.size() && !IsSpace(m_text[m_position])) ++m_position;
        m_token = m_text.substr(start, m_position - start);
        return m_token;
    }

    // from_chars takes no "+" sign; "+-1" must stay an error, so only a plus before a
    // digit or point goes.
    static std::string_view WithoutPlus(std::string_view token)
    {
        if (token.size() > 1 && token[0] == '+' && (std::isdigit(static_cast<unsigned char>(token[1])) || token[1] == '.'))
            token.remove_prefix(1);
        return token;
    }

    // The whole token as a number, as from_chars reads it. A C++ library without from_chars for
    // floating point (LLVM 14's, the browser build's) reads it with strtof over a copy, which
    // gives a plain decimal number the same value; hexadecimal, which only strtof takes, is no
    // number here either.
    template <class Real>
    static bool ParseReal(std::string_view token, Real& value)
    {
        const char* const first = token.data();
        const char* const last = first + token.size();
        if constexpr (requires { std::from_chars(first, last, value, std::chars_format::general); }) {
            const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
            return error == std::errc() && end == last;
        } else {
            char text[256];
            if (token.size() >= sizeof text || token.find_first_of("xX") != std::string_view::npos) return false;
            std::memcpy(text, first, token.size());
            text[token.size()] = '\0';
            char* end = nullptr;
            errno = 0;
            value = std::strtof(text, &end);
            return errno != ERANGE && end == text + token.size();
        }
    }

    // from_chars also takes "inf" and "nan"; a geox file holds plain decimal numbers.
    static bool LooksDecimal(std::string_view token)
    {
        if (!token.empty() && token.front() == '-') token.remove_prefix(1);
        return !token.empty() && (std::isdigit(static_cast<unsigned char>(token.front())) || token.front() == '.');
    }

    std::string_view m_text;
    std::string_view m_path;
    std::string_view m_token;
    size_t m_position = 0;
    int m_line = 1;
};

std::string LowerAsciiLetters(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string CutName(std::string_view name)
{
    return std::string(name.substr(0, kGeoxNameLength));
}

// Lines of a list file, without their CR LF or LF ends.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(position, end - position);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        position = end + 1;
    }
    return lines;
}

struct Vector3 {
    float x, y, z;
};

Vector3 DrawnPosition(const GeoxVertex& vertex)
{
    return {vertex.x, vertex.z, vertex.y};
}

} // namespace

void ParseGeox(GeoxMesh& mesh, const uint8_t* data, size_t size, std::string_view path)
{
    if (size < kGeoxHeaderBytes)
        ThrowFileError(path, StrFormat("file truncated (%zu bytes, the header needs %zu)", size, kGeoxHeaderBytes));
    const int32_t vertexCount = static_cast<int32_t>(ReadU32LE(data));
    const int32_t triangleCount = static_cast<int32_t>(ReadU32LE(data + 4));
    CheckCounts(vertexCount, triangleCount, path);
    const uint64_t needed = kGeoxHeaderBytes + kGeoxVertexBytes * static_cast<uint64_t>(vertexCount) +
                            kGeoxTriangleBytes * static_cast<uint64_t>(triangleCount);
    if (needed > size)
        ThrowFileError(path, StrFormat("file truncated (%d vertices and %d triangles need %llu bytes, the file has %zu)",
                                       vertexCount, triangleCount, static_cast<unsigned long long>(needed), size));

    std::vector<GeoxVertex> vertices(static_cast<size_t>(vertexCount), GeoxVertex{});
    const uint8_t* cursor = data + kGeoxHeaderBytes;
    for (size_t k = 0; k < vertices.size(); ++k) {
        GeoxVertex& vertex = vertices[k];
        vertex.x = ReadFloatLE(cursor);
        vertex.y = ReadFloatLE(cursor + 4);
        vertex.z = ReadFloatLE(cursor + 8);
        vertex.u = ReadFloatLE(cursor + 12);
        vertex.v = ReadFloatLE(cursor + 16);
        cursor += kGeoxVertexBytes;
        const std::string fault = VertexNumberFault(vertex);
        if (!fault.empty()) ThrowFileError(path, StrFormat("vertex %zu %s", k, fault.c_str()));
    }
    std::vector<GeoxTriangle> triangles(static_cast<size_t>(triangleCount), GeoxTriangle{});
    for (GeoxTriangle& triangle : triangles) {
        triangle.i0 = static_cast<int32_t>(ReadU32LE(cursor));
        triangle.i1 = static_cast<int32_t>(ReadU32LE(cursor + 4));
        triangle.i2 = static_cast<int32_t>(ReadU32LE(cursor + 8));
        cursor += kGeoxTriangleBytes;
    }
    for (size_t t = 0; t < triangles.size(); ++t)
        if (!IndicesValid(triangles[t], vertexCount))
            ThrowFileError(path, BadIndexFault(triangles[t], static_cast<int32_t>(t), vertexCount));
    ReplaceMesh(mesh, std::move(vertices), std::move(triangles));
}

void LoadGeox(GeoxMesh& mesh, std::string_view path)
{
    Log(path);
    if (!FileExists(path)) ShowMessageBox("ERROR! " + std::string(path) + " is not valid", "Error");
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    ParseGeox(mesh, bytes.data(), bytes.size(), path);
}

void ParseTextGeox(GeoxMesh& mesh, std::string_view text, std::string_view path)
{
    GeoxTextReader reader(text, path);
    const int32_t vertexCount = reader.ReadInteger("the vertex count");
    reader.SkipLine();
    const int32_t triangleCount = reader.ReadInteger("the triangle count");
    reader.SkipLine();
    CheckCounts(vertexCount, triangleCount, path);
    // Each number takes at least one character and a separator.
    const uint64_t numbers = 5 * static_cast<uint64_t>(vertexCount) + 3 * static_cast<uint64_t>(triangleCount);
    if (numbers > 0 && 2 * numbers - 1 > reader.Remaining())
        ThrowFileError(path, StrFormat("%d vertices and %d triangles cannot fit in the rest of the file (%zu bytes)",
                                       vertexCount, triangleCount, reader.Remaining()));

    std::vector<GeoxVertex> vertices(static_cast<size_t>(vertexCount), GeoxVertex{});
    for (size_t k = 0; k < vertices.size(); ++k) {
        GeoxVertex& vertex = vertices[k];
        vertex.x = reader.ReadReal("a vertex x");
        vertex.y = reader.ReadReal("a vertex y");
        vertex.z = reader.ReadReal("a vertex z");
        vertex.u = reader.ReadReal("a vertex u");
        vertex.v = reader.ReadReal("a vertex v");
        const std::string fault = VertexNumberFault(vertex);
        if (!fault.empty()) reader.Fail(StrFormat("vertex %zu %s", k, fault.c_str()));
        reader.SkipLine();
    }
    std::vector<GeoxTriangle> triangles(static_cast<size_t>(triangleCount), GeoxTriangle{});
    for (size_t t = 0; t < triangles.size(); ++t) {
        GeoxTriangle& triangle = triangles[t];
        triangle.i0 = reader.ReadInteger("a vertex index");
        triangle.i1 = reader.ReadInteger("a vertex index");
        triangle.i2 = reader.ReadInteger("a vertex index");
        if (!IndicesValid(triangle, vertexCount)) {
            // The box tells the user; the error then ends the load without a second box.
            ShowMessageBox("CORRUPTED GEOX FILE!!!", "Error");
            throw FatalError(StrFormat("%.*s: %s", static_cast<int>(path.size()), path.data(),
                                       BadIndexFault(triangle, static_cast<int32_t>(t), vertexCount).c_str()),
                             /*alreadyShown=*/true);
        }
    }
    ReplaceMesh(mesh, std::move(vertices), std::move(triangles));
}

void LoadTextGeox(GeoxMesh& mesh, std::string_view path)
{
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    ParseTextGeox(mesh, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

std::vector<std::string> ParseGeoxList(std::string_view text, std::string_view listPath)
{
    const std::vector<std::string> lines = SplitLines(text);
    // Empty lines after the last entry are harmless; one before it would stand for the
    // folder itself.
    size_t count = lines.size();
    while (count > 0 && lines[count - 1].empty()) --count;
    std::vector<std::string> entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (lines[i].empty())
            ThrowFileError(listPath, StrFormat("line %zu is empty; entries must not be separated by empty lines", i + 1));
        if (lines[i].find('\0') != std::string::npos)
            ThrowFileError(listPath, StrFormat("line %zu holds a NUL byte", i + 1));
        entries.push_back(LowerAsciiLetters(lines[i]));
    }
    return entries;
}

void LoadGeoxList(GeoxList& list, std::string_view folder, std::string_view listName)
{
    const std::string listPath = std::string(folder) + std::string(listName);
    const std::vector<GeoxListEntry> entries = ReadGeoxListEntries(folder, listName);
    if (entries.empty()) LogWarning(listPath, "lists no meshes; the folder's mesh list stays empty");

    const size_t count = entries.size();
    list.count = static_cast<int32_t>(count);
    list.meshes.assign(count, GeoxMesh{});
    list.names.assign(count, std::string());
    list.filteredNames.assign(count, std::string());
    for (size_t i = 0; i < count; ++i) {
        const std::string& entry = entries[i].entry;
        try {
            LoadGeoxListEntry(list.meshes[i], entries[i]);
        } catch (const FileError& error) {
            // The mesh is named; the list that names it is where to look next.
            throw FileError(error.File(), error.Fault() + StrFormat(" (line %zu of %s)", i + 1, listPath.c_str()));
        }
        list.names[i] = CutName(entry);
        list.filteredNames[i] = CutName(FilterGeoxName(entry));
        Log(list.filteredNames[i] + " of " + FilterGeoxName(entry) + " from " + entry);
    }
}

std::vector<GeoxListEntry> ReadGeoxListEntries(std::string_view folder, std::string_view listName)
{
    const std::string listPath = std::string(folder) + std::string(listName);
    const std::vector<unsigned char> bytes = ReadFileBytes(listPath);
    const std::vector<std::string> lines =
        ParseGeoxList(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), listPath);
    std::vector<GeoxListEntry> entries(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        entries[i].entry = lines[i];
        entries[i].path = std::string(folder) + entries[i].entry;
        entries[i].text = entries[i].entry.find(kTextGeoxMarker) != std::string::npos;
    }
    return entries;
}

void LoadGeoxListEntry(GeoxMesh& mesh, const GeoxListEntry& entry)
{
    if (entry.text) {
        LoadTextGeox(mesh, entry.path);
    } else {
        LoadGeox(mesh, entry.path);
    }
}

std::string FilterGeoxName(std::string_view entry)
{
    const std::string_view stem = entry.substr(0, entry.find('.'));
    std::string filtered;
    for (const char c : stem)
        if (c >= 'a' && c <= 'z') filtered += c;
    Log("created filtered name " + filtered);
    return filtered;
}

void ComputeFaceNormals(GeoxMesh& mesh)
{
    for (GeoxTriangle& triangle : mesh.triangles) {
        const Vector3 p0 = DrawnPosition(mesh.vertices[static_cast<size_t>(triangle.i0)]);
        const Vector3 p1 = DrawnPosition(mesh.vertices[static_cast<size_t>(triangle.i1)]);
        const Vector3 p2 = DrawnPosition(mesh.vertices[static_cast<size_t>(triangle.i2)]);
        const Vector3 a{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
        const Vector3 b{p0.x - p2.x, p0.y - p2.y, p0.z - p2.z};
        triangle.nx = a.y * b.z - a.z * b.y;
        triangle.ny = a.z * b.x - a.x * b.z;
        triangle.nz = a.x * b.y - a.y * b.x;
        const float length = static_cast<float>(std::sqrt(double{triangle.nx} * triangle.nx +
                                                          double{triangle.ny} * triangle.ny +
                                                          double{triangle.nz} * triangle.nz));
        if (length != 0) {
            triangle.nx /= length;
            triangle.ny /= length;
            triangle.nz /= length;
        }
    }
}

std::vector<int32_t> CountVertexUses(const GeoxMesh& mesh)
{
    std::vector<int32_t> useCounts(mesh.vertices.size(), 0);
    for (const GeoxTriangle& triangle : mesh.triangles)
        for (const int32_t index : {triangle.i0, triangle.i1, triangle.i2}) ++useCounts[static_cast<size_t>(index)];
    return useCounts;
}

void ComputeVertexNormals(GeoxMesh& mesh)
{
    ComputeVertexNormals(mesh, CountVertexUses(mesh));
}

void ComputeVertexNormals(GeoxMesh& mesh, const std::vector<int32_t>& useCounts)
{
    for (GeoxVertex& vertex : mesh.vertices) vertex.nx = vertex.ny = vertex.nz = 0;
    for (const GeoxTriangle& triangle : mesh.triangles) {
        for (const int32_t index : {triangle.i0, triangle.i1, triangle.i2}) {
            GeoxVertex& vertex = mesh.vertices[static_cast<size_t>(index)];
            vertex.nx += triangle.nx;
            vertex.ny += triangle.ny;
            vertex.nz += triangle.nz;
        }
    }
    const size_t counted = std::min(mesh.vertices.size(), useCounts.size());
    for (size_t i = 0; i < counted; ++i) {
        if (useCounts[i] == 0) continue;
        const float uses = static_cast<float>(useCounts[i]);
        mesh.vertices[i].nx /= uses;
        mesh.vertices[i].ny /= uses;
        mesh.vertices[i].nz /= uses;
    }
}

namespace {

// Flat shading needs a normal per triangle, which an indexed array cannot carry.
void DrawGeoxFaceNormals(const GeoxMesh& mesh, bool withTexCoords, bool withVertexNormals)
{
    glBegin(GL_TRIANGLES);
    for (const GeoxTriangle& triangle : mesh.triangles) {
        glNormal3f(triangle.nx, triangle.ny, triangle.nz);
        for (const int32_t index : {triangle.i0, triangle.i1, triangle.i2}) {
            const GeoxVertex& vertex = mesh.vertices[static_cast<size_t>(index)];
            if (withVertexNormals) glNormal3f(vertex.nx, vertex.ny, vertex.nz);
            if (withTexCoords) glTexCoord2f(vertex.u, vertex.v);
            glVertex3f(vertex.x, vertex.z, vertex.y);
        }
    }
    glEnd();
}

} // namespace

// One indexed draw instead of a glVertex call per corner: the renderer transforms each
// vertex once, and the per-call cost of immediate mode (most of the vertex work of a mesh
// of thousands of corners) is gone. The same triangles in the same order, so the same
// pixels; texture coordinates and normals are read straight from the vertices, which
// already hold them in drawn order.
void DrawGeox(const GeoxMesh& mesh, bool withTexCoords, bool withFaceNormals, bool withVertexNormals)
{
    if (withFaceNormals) {
        DrawGeoxFaceNormals(mesh, withTexCoords, withVertexNormals);
        return;
    }
    if (mesh.triangles.empty() || mesh.vertices.empty()) return;

    MakeRoomToDraw(mesh.vertices.size(), mesh.triangles.size());
    DrawArrays& arrays = SharedDrawArrays();
    float* position = arrays.positions.data();
    for (const GeoxVertex& vertex : mesh.vertices) {
        *position++ = vertex.x;
        *position++ = vertex.z;
        *position++ = vertex.y;
    }
    uint32_t* index = arrays.indices.data();
    for (const GeoxTriangle& triangle : mesh.triangles) {
        *index++ = static_cast<uint32_t>(triangle.i0);
        *index++ = static_cast<uint32_t>(triangle.i1);
        *index++ = static_cast<uint32_t>(triangle.i2);
    }

    constexpr GLsizei stride = sizeof(GeoxVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, arrays.positions.data());
    if (withTexCoords) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &mesh.vertices[0].u);
    }
    if (withVertexNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, &mesh.vertices[0].nx);
    }
    glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(mesh.vertices.size() - 1),
                        static_cast<GLsizei>(mesh.triangles.size() * 3), GL_UNSIGNED_INT, arrays.indices.data());
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    // Immediate mode left the last corner's attributes current, and later draws that send
    // none of their own (a mesh drawn plain under a bound texture) pick them up.
    const GeoxVertex& last = mesh.vertices[static_cast<size_t>(mesh.triangles.back().i2)];
    if (withTexCoords) glTexCoord2f(last.u, last.v);
    if (withVertexNormals) glNormal3f(last.nx, last.ny, last.nz);
}

void DrawGeoxPlain(const GeoxMesh& mesh)
{
    DrawGeox(mesh, false, false, false);
}

void DrawGeoxLit(const GeoxMesh& mesh)
{
    DrawGeox(mesh, false, false, true);
}

void DrawGeoxTextured(const GeoxMesh& mesh)
{
    DrawGeox(mesh, true, false, false);
}
