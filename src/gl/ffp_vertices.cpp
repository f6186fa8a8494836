// Vertices on the layer: immediate mode gathered between glBegin and glEnd, client vertex
// arrays and the buffers they may point into, all streamed into two ring buffers of the
// layer's (vertices and indices) and drawn with the program for the state. The rings and the
// gathering storage are made at start and grow only when a draw needs more than they ever held,
// so drawing allocates nothing once the first frames have passed.
#include "gl/driver_gl.h"
#include "gl/ffp.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ffp {

namespace {

// A ring of a buffer object that vertex data is written into, draw after draw, and that starts
// again at its beginning when it is full. A draw larger than the ring grows it.
struct StreamBuffer {
    GLuint buffer = 0;
    size_t capacity = 0;
    size_t used = 0;
};
constexpr size_t InitialVertexStreamBytes = size_t{8} << 20;
constexpr size_t InitialIndexStreamBytes = size_t{2} << 20;
constexpr int InitialImmediateVertices = 4096;
constexpr int InitialQuads = 4096;

StreamBuffer g_vertexStream, g_indexStream;
GLuint g_vertexArrayObject = 0;
// Two triangles a quad, (0, 1, 3) and (1, 2, 3) as the driver splits them, for g_quadCount quads.
GLuint g_quadIndices = 0;
int g_quadCount = 0;
// The driver's bindings as the layer last set them; ~0 and -1 when the layer does not know.
GLuint g_boundArrayBuffer = 0, g_boundElementBuffer = 0;
constexpr GLuint UnknownBuffer = ~GLuint{0};
int8_t g_attributeArrayOn[5] = {};

std::vector<ListVertex> g_immediate;
std::vector<float> g_gathered;      // a strided array made tight before streaming
std::vector<ListVertex> g_recorded; // array vertices on their way into a display list
std::vector<uint32_t> g_quadTriangles;

constexpr size_t kAlignment = 16;

void BindStream(const StreamBuffer& stream, GLenum target)
{
    if (target == GL_ARRAY_BUFFER) BindArrayBuffer(stream.buffer);
    else BindElementArrayBuffer(stream.buffer);
}

// Makes room for `bytes` more in the ring: past its end it starts again at the beginning (GL
// orders the writes after the draws that read what they overwrite), and it grows when it is
// smaller than that.
void ReserveStream(StreamBuffer& stream, GLenum target, size_t bytes)
{
    const size_t start = (stream.used + kAlignment - 1) / kAlignment * kAlignment;
    if (start + bytes <= stream.capacity) {
        stream.used = start;
        return;
    }
    if (bytes > stream.capacity) {
        stream.capacity = std::max(bytes, stream.capacity * 2);
        BindStream(stream, target);
        glBufferData(target, static_cast<GLsizeiptr>(stream.capacity), nullptr, GL_STREAM_DRAW);
    }
    stream.used = 0;
}

// Writes into room reserved before; returns the offset written at.
uintptr_t WriteStream(StreamBuffer& stream, GLenum target, const void* data, size_t bytes)
{
    const size_t start = (stream.used + kAlignment - 1) / kAlignment * kAlignment;
    BindStream(stream, target);
    glBufferSubData(target, static_cast<GLintptr>(start), static_cast<GLsizeiptr>(bytes), data);
    stream.used = start + bytes;
    return start;
}

void MakeQuadIndices(int quads)
{
    if (quads <= g_quadCount) return;
    g_quadCount = std::max(quads, g_quadCount * 2);
    std::vector<uint32_t> indices(static_cast<size_t>(g_quadCount) * 6);
    for (uint32_t quad = 0; quad < static_cast<uint32_t>(g_quadCount); ++quad) {
        const uint32_t first = quad * 4;
        const uint32_t triangles[6] = {first, first + 1, first + 3, first + 1, first + 2, first + 3};
        std::copy(triangles, triangles + 6, &indices[quad * 6]);
    }
    BindElementArrayBuffer(g_quadIndices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)), indices.data(),
                 GL_STATIC_DRAW);
}

void SetAttributeArray(GLuint location, bool on)
{
    if (g_attributeArrayOn[location] == (on ? 1 : 0)) return;
    g_attributeArrayOn[location] = on ? 1 : 0;
    if (on) glEnableVertexAttribArray(location);
    else glDisableVertexAttribArray(location);
}

// An attribute from its buffer, or, when the draw has none, the current value.
void SetAttribute(GLuint location, const AttributeSource& source, const float* current, int currentSize)
{
    if (!source.present) {
        SetAttributeArray(location, false);
        float value[4] = {0, 0, 0, 1};
        std::copy_n(current, currentSize, value);
        glVertexAttrib4fv(location, value);
        return;
    }
    BindArrayBuffer(source.buffer);
    glVertexAttribPointer(location, source.size, GL_FLOAT, GL_FALSE, source.stride,
                          reinterpret_cast<const void*>(source.offset));
    SetAttributeArray(location, true);
}

// An attribute the program does not read is switched off, so that no array it may have
// pointed into is checked against the draw.
void SkipAttribute(GLuint location)
{
    SetAttributeArray(location, false);
}

// The source of an enabled client array for `count` vertices: its own buffer, or its data
// written into the vertex stream (gathered first when it is strided).
AttributeSource ArraySource(const ClientArray& array, int count)
{
    AttributeSource source;
    if (!array.enabled) return source;
    if (array.type != GL_FLOAT) {
        SetError(GL_INVALID_ENUM);
        return source;
    }
    source.present = true;
    source.size = array.size;
    if (array.buffer != 0) {
        source.buffer = array.buffer;
        source.stride = array.stride;
        source.offset = reinterpret_cast<uintptr_t>(array.pointer);
        return source;
    }
    const size_t tight = static_cast<size_t>(array.size) * sizeof(float);
    const size_t bytes = tight * static_cast<size_t>(count);
    const void* data = array.pointer;
    if (array.stride != 0 && static_cast<size_t>(array.stride) != tight) {
        g_gathered.resize(static_cast<size_t>(array.size) * static_cast<size_t>(count));
        const auto* from = static_cast<const uint8_t*>(array.pointer);
        for (int v = 0; v < count; ++v)
            std::memcpy(&g_gathered[static_cast<size_t>(v) * array.size], from + static_cast<size_t>(v) * array.stride,
                        tight);
        data = g_gathered.data();
    }
    source.buffer = g_vertexStream.buffer;
    source.stride = 0;
    source.offset = WriteStream(g_vertexStream, GL_ARRAY_BUFFER, data, bytes);
    return source;
}

// Bytes an enabled client array in client memory puts into the vertex stream.
size_t StreamedBytes(const ClientArray& array, int count)
{
    if (!array.enabled || array.buffer != 0) return 0;
    return (static_cast<size_t>(array.size) * sizeof(float) * static_cast<size_t>(count) + kAlignment);
}

// Vertex `v` of an enabled client array in client memory, as `size` floats.
const float* ArrayElement(const ClientArray& array, uint32_t v)
{
    const size_t stride = array.stride != 0 ? static_cast<size_t>(array.stride) : array.size * sizeof(float);
    return reinterpret_cast<const float*>(static_cast<const uint8_t*>(array.pointer) + v * stride);
}

// Array vertices 0 .. count - 1 as list vertices; returns which attributes arrays gave them (the
// others take the values current when the list is called).
uint8_t GatherListVertices(int count)
{
    g_recorded.assign(static_cast<size_t>(count), ListVertex{{0, 0, 0}, {0, 0, 0, 1}, {0, 0, 1}, {}});
    for (int i = 0; i < count; ++i) {
        ListVertex& vertex = g_recorded[static_cast<size_t>(i)];
        const uint32_t v = static_cast<uint32_t>(i);
        std::copy_n(ArrayElement(State.vertexArray, v), std::min(State.vertexArray.size, 3), vertex.position);
        if (State.colourArray.enabled)
            std::copy_n(ArrayElement(State.colourArray, v), std::min(State.colourArray.size, 4), vertex.colour);
        if (State.normalArray.enabled) std::copy_n(ArrayElement(State.normalArray, v), 3, vertex.normal);
        if (State.texCoordArray.enabled)
            std::copy_n(ArrayElement(State.texCoordArray, v), std::min(State.texCoordArray.size, 2),
                        vertex.texCoord[0]);
    }
    return static_cast<uint8_t>((State.colourArray.enabled ? HasColour : 0) |
                                (State.normalArray.enabled ? HasNormal : 0) |
                                (State.texCoordArray.enabled ? HasTexCoord0 : 0));
}

ClientArray* ArrayOf(GLenum array)
{
    switch (array) {
    case GL_VERTEX_ARRAY: return &State.vertexArray;
    case GL_COLOR_ARRAY: return &State.colourArray;
    case GL_NORMAL_ARRAY: return &State.normalArray;
    case GL_TEXTURE_COORD_ARRAY: return &State.texCoordArray;
    default: return nullptr;
    }
}

void SetPointer(ClientArray& array, GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    array.size = size;
    array.type = type;
    array.stride = stride;
    array.pointer = pointer;
    array.buffer = State.arrayBuffer;
}

} // namespace

void BindArrayBuffer(GLuint buffer)
{
    if (buffer == g_boundArrayBuffer) return;
    g_boundArrayBuffer = buffer;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
}

void BindElementArrayBuffer(GLuint buffer)
{
    if (buffer == g_boundElementBuffer) return;
    g_boundElementBuffer = buffer;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
}

void ForgetDriverBindings()
{
    g_boundArrayBuffer = g_boundElementBuffer = UnknownBuffer;
    std::fill(std::begin(g_attributeArrayOn), std::end(g_attributeArrayOn), -1);
}

void BindLayerVertexArray()
{
    glBindVertexArray(g_vertexArrayObject);
    ForgetDriverBindings();
}

void StartVertexStreams()
{
    glGenVertexArrays(1, &g_vertexArrayObject);
    BindLayerVertexArray();
    for (StreamBuffer* stream : {&g_vertexStream, &g_indexStream}) {
        const GLenum target = stream == &g_vertexStream ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
        *stream = StreamBuffer{};
        glGenBuffers(1, &stream->buffer);
        stream->capacity = stream == &g_vertexStream ? InitialVertexStreamBytes : InitialIndexStreamBytes;
        BindStream(*stream, target);
        glBufferData(target, static_cast<GLsizeiptr>(stream->capacity), nullptr, GL_STREAM_DRAW);
    }
    glGenBuffers(1, &g_quadIndices);
    g_quadCount = 0;
    MakeQuadIndices(InitialQuads);
    g_immediate.reserve(InitialImmediateVertices);
}

void StopVertexStreams()
{
    g_vertexArrayObject = g_quadIndices = 0;
    g_vertexStream = g_indexStream = StreamBuffer{};
    g_quadCount = 0;
    ForgetDriverBindings();
}

VertexSources ListVertexSources(GLuint buffer, uintptr_t base, uint8_t attributes)
{
    constexpr GLsizei stride = sizeof(ListVertex);
    VertexSources sources;
    auto at = [&](bool present, GLint size, size_t offset) {
        return AttributeSource{present, buffer, size, stride, base + offset};
    };
    sources.position = at(true, 3, offsetof(ListVertex, position));
    sources.colour = at(attributes & HasColour, 4, offsetof(ListVertex, colour));
    sources.normal = at(attributes & HasNormal, 3, offsetof(ListVertex, normal));
    sources.texCoord[0] = at(attributes & HasTexCoord0, 2, offsetof(ListVertex, texCoord[0]));
    sources.texCoord[1] = at(attributes & HasTexCoord1, 2, offsetof(ListVertex, texCoord[1]));
    return sources;
}

void Draw(const DrawCall& call)
{
    UseProgramForState();
    SetAttribute(PositionLocation, call.sources.position, nullptr, 0);
    SetAttribute(ColourLocation, call.sources.colour, State.colour, 4);
    if (ProgramReadsNormals()) SetAttribute(NormalLocation, call.sources.normal, State.normal, 3);
    else SkipAttribute(NormalLocation);
    for (int unit = 0; unit < TextureUnits; ++unit) {
        const GLuint location = TexCoord0Location + static_cast<GLuint>(unit);
        if (ProgramReadsTexCoords(unit))
            SetAttribute(location, call.sources.texCoord[unit], State.units[unit].texCoord, 2);
        else SkipAttribute(location);
    }
    switch (call.indices) {
    case DrawIndices::None: glDrawArrays(GL_TRIANGLES, 0, call.vertexCount); break;
    case DrawIndices::Quads:
        MakeQuadIndices(call.vertexCount / 4);
        BindElementArrayBuffer(g_quadIndices);
        glDrawElements(GL_TRIANGLES, call.vertexCount / 4 * 6, GL_UNSIGNED_INT, nullptr);
        break;
    case DrawIndices::Buffer:
        BindElementArrayBuffer(call.indexBuffer);
        glDrawRangeElements(GL_TRIANGLES, 0, call.lastVertex, call.indexCount, GL_UNSIGNED_INT,
                            reinterpret_cast<const void*>(call.indexOffset));
        break;
    }
}

void Begin(GLenum mode)
{
    if (State.inBeginEnd) return SetError(GL_INVALID_OPERATION);
    if (mode != GL_TRIANGLES && mode != GL_QUADS) return SetError(GL_INVALID_ENUM);
    State.inBeginEnd = true;
    State.primitive = mode;
    g_immediate.clear();
}

void Vertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!State.inBeginEnd) return;
    ListVertex vertex = {{x, y, z}, {}, {}, {}};
    std::copy_n(State.colour, 4, vertex.colour);
    std::copy_n(State.normal, 3, vertex.normal);
    for (int unit = 0; unit < TextureUnits; ++unit) std::copy_n(State.units[unit].texCoord, 2, vertex.texCoord[unit]);
    g_immediate.push_back(vertex);
}

void Vertex2f(GLfloat x, GLfloat y)
{
    Vertex3f(x, y, 0);
}

void End()
{
    if (!State.inBeginEnd) return SetError(GL_INVALID_OPERATION);
    State.inBeginEnd = false;
    const bool quads = State.primitive == GL_QUADS;
    const int perPrimitive = quads ? 4 : 3;
    const int count = static_cast<int>(g_immediate.size()) / perPrimitive * perPrimitive;
    if (count == 0) return;
    if (Recording()) {
        g_quadTriangles.clear();
        for (uint32_t v = 0; v < static_cast<uint32_t>(count); v += static_cast<uint32_t>(perPrimitive))
            if (quads) g_quadTriangles.insert(g_quadTriangles.end(), {v, v + 1, v + 3, v + 1, v + 2, v + 3});
            else g_quadTriangles.insert(g_quadTriangles.end(), {v, v + 1, v + 2});
        return RecordTriangles(g_immediate.data(), count, g_quadTriangles.data(),
                               static_cast<int>(g_quadTriangles.size()),
                               HasColour | HasNormal | HasTexCoord0 | HasTexCoord1);
    }
    const size_t bytes = static_cast<size_t>(count) * sizeof(ListVertex);
    ReserveStream(g_vertexStream, GL_ARRAY_BUFFER, bytes);
    DrawCall call;
    call.sources = ListVertexSources(g_vertexStream.buffer,
                                     WriteStream(g_vertexStream, GL_ARRAY_BUFFER, g_immediate.data(), bytes),
                                     HasColour | HasNormal | HasTexCoord0 | HasTexCoord1);
    call.vertexCount = count;
    call.indices = quads ? DrawIndices::Quads : DrawIndices::None;
    Draw(call);
}

void EnableClientState(GLenum array)
{
    if (ClientArray* client = ArrayOf(array)) client->enabled = true;
    else SetError(GL_INVALID_ENUM);
}

void DisableClientState(GLenum array)
{
    if (ClientArray* client = ArrayOf(array)) client->enabled = false;
    else SetError(GL_INVALID_ENUM);
}

void VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    SetPointer(State.vertexArray, size, type, stride, pointer);
}

void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    SetPointer(State.texCoordArray, size, type, stride, pointer);
}

void ColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    SetPointer(State.colourArray, size, type, stride, pointer);
}

void NormalPointer(GLenum type, GLsizei stride, const void* pointer)
{
    SetPointer(State.normalArray, 3, type, stride, pointer);
}

void DrawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const void* indices)
{
    static_cast<void>(start); // every vertex up to `end` is taken, so the indices need no rebasing
    if (State.inBeginEnd) return SetError(GL_INVALID_OPERATION);
    if (mode != GL_TRIANGLES || type != GL_UNSIGNED_INT) return SetError(GL_INVALID_ENUM);
    if (count <= 0 || !State.vertexArray.enabled) return;
    const int vertices = static_cast<int>(end) + 1;
    if (Recording()) {
        // A list keeps its own copy: the arrays in client memory, as the driver takes them.
        if (State.elementArrayBuffer != 0 || State.vertexArray.buffer != 0) return SetError(GL_INVALID_OPERATION);
        const uint8_t attributes = GatherListVertices(vertices);
        return RecordTriangles(g_recorded.data(), vertices, static_cast<const uint32_t*>(indices), count, attributes);
    }
    ReserveStream(g_vertexStream, GL_ARRAY_BUFFER,
                  StreamedBytes(State.vertexArray, vertices) + StreamedBytes(State.colourArray, vertices) +
                      StreamedBytes(State.normalArray, vertices) + StreamedBytes(State.texCoordArray, vertices));
    DrawCall call;
    call.sources.position = ArraySource(State.vertexArray, vertices);
    call.sources.colour = ArraySource(State.colourArray, vertices);
    call.sources.normal = ArraySource(State.normalArray, vertices);
    call.sources.texCoord[0] = ArraySource(State.texCoordArray, vertices);
    call.indices = DrawIndices::Buffer;
    call.indexCount = count;
    call.lastVertex = end;
    if (State.elementArrayBuffer != 0) {
        call.indexBuffer = State.elementArrayBuffer;
        call.indexOffset = reinterpret_cast<uintptr_t>(indices);
    } else {
        const size_t bytes = static_cast<size_t>(count) * sizeof(uint32_t);
        ReserveStream(g_indexStream, GL_ELEMENT_ARRAY_BUFFER, bytes);
        call.indexBuffer = g_indexStream.buffer;
        call.indexOffset = WriteStream(g_indexStream, GL_ELEMENT_ARRAY_BUFFER, indices, bytes);
    }
    Draw(call);
}

void BindBuffer(GLenum target, GLuint buffer)
{
    if (target == GL_ARRAY_BUFFER) {
        State.arrayBuffer = buffer;
        BindArrayBuffer(buffer);
    } else if (target == GL_ELEMENT_ARRAY_BUFFER) {
        State.elementArrayBuffer = buffer;
        BindElementArrayBuffer(buffer);
    } else {
        SetError(GL_INVALID_ENUM);
    }
}

void BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage)
{
    // The application's buffer goes back in place of the layer's streams first.
    if (target == GL_ARRAY_BUFFER) BindArrayBuffer(State.arrayBuffer);
    else BindElementArrayBuffer(State.elementArrayBuffer);
    glBufferData(target, size, data, usage);
}

void BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data)
{
    if (target == GL_ARRAY_BUFFER) BindArrayBuffer(State.arrayBuffer);
    else BindElementArrayBuffer(State.elementArrayBuffer);
    glBufferSubData(target, offset, size, data);
}

} // namespace ffp
