// Display lists on the layer: what glNewList .. glEndList compiles, recorded as a sequence of
// steps (vertex batches, current attributes, glMultMatrixf: the commands the piece compiles)
// and replayed by glCallList. A batch's vertices and indices go into buffer objects of their own
// at glEndList, so a list costs one draw a batch, as in the driver. Attributes a batch does not
// carry take the values current when it is replayed. Any other command while a list is being
// compiled is refused (GL_INVALID_OPERATION), where the driver would compile it.
#include "gl/driver_gl.h"
#include "gl/ffp.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ffp {

namespace {

struct Batch {
    GLuint vertices = 0, indices = 0;
    int vertexCount = 0, indexCount = 0;
    uint8_t attributes = 0;
};

enum class StepKind { DrawBatch, SetColour, SetNormal, SetTexCoord0, SetTexCoord1, MultMatrix };

struct Step {
    StepKind kind;
    float values[16];
    int batch;
};

struct List {
    std::vector<Step> steps;
    std::vector<Batch> batches;
};

// Indexed by list name.
std::vector<List> g_lists;
GLuint g_nextName = 1;

// The list being compiled (0: none), its batches' data until glEndList, and the current
// attributes as they were at glNewList: compiling changes nothing that is current.
GLuint g_recording = 0;
std::vector<std::vector<ListVertex>> g_batchVertices;
std::vector<std::vector<uint32_t>> g_batchIndices;
float g_savedColour[4], g_savedNormal[3], g_savedTexCoord[TextureUnits][4];

List& Recorded()
{
    return g_lists[g_recording];
}

GLuint MakeBuffer(GLenum target, const void* data, size_t bytes)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    if (target == GL_ARRAY_BUFFER) BindArrayBuffer(buffer);
    else BindElementArrayBuffer(buffer);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return buffer;
}

void ReplayBatch(const Batch& batch)
{
    DrawCall call;
    call.sources = ListVertexSources(batch.vertices, 0, batch.attributes);
    call.indices = DrawIndices::Buffer;
    call.indexBuffer = batch.indices;
    call.indexCount = batch.indexCount;
    call.lastVertex = static_cast<GLuint>(batch.vertexCount - 1);
    Draw(call);
}

} // namespace

bool Recording()
{
    return g_recording != 0;
}

bool CompilingRefuses()
{
    if (!Recording()) return false;
    SetError(GL_INVALID_OPERATION);
    return true;
}

void RecordTriangles(const ListVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                     uint8_t attributes)
{
    List& list = Recorded();
    list.batches.push_back({0, 0, vertexCount, indexCount, attributes});
    g_batchVertices.emplace_back(vertices, vertices + vertexCount);
    g_batchIndices.emplace_back(indices, indices + indexCount);
    Step step{StepKind::DrawBatch, {}, static_cast<int>(list.batches.size()) - 1};
    list.steps.push_back(step);
}

void RecordMultMatrix(const float m[16])
{
    Step step{StepKind::MultMatrix, {}, -1};
    std::copy_n(m, 16, step.values);
    Recorded().steps.push_back(step);
}

void RecordCurrentAttributes(uint8_t attributes)
{
    auto record = [](StepKind kind, const float* values, int count) {
        Step step{kind, {}, -1};
        std::copy_n(values, count, step.values);
        Recorded().steps.push_back(step);
    };
    if (attributes & HasColour) record(StepKind::SetColour, State.colour, 4);
    if (attributes & HasNormal) record(StepKind::SetNormal, State.normal, 3);
    if (attributes & HasTexCoord0) record(StepKind::SetTexCoord0, State.units[0].texCoord, 2);
    if (attributes & HasTexCoord1) record(StepKind::SetTexCoord1, State.units[1].texCoord, 2);
}

void ForgetLists()
{
    g_lists.clear();
    g_nextName = 1;
    g_recording = 0;
}

GLuint GenLists(GLsizei range)
{
    if (range <= 0) return 0;
    const GLuint first = g_nextName;
    g_nextName += static_cast<GLuint>(range);
    return first;
}

void NewList(GLuint list, GLenum mode)
{
    if (list == 0) return SetError(GL_INVALID_VALUE);
    // Lists are compiled to be called later, never run while they are compiled.
    if (mode != GL_COMPILE) return SetError(GL_INVALID_ENUM);
    if (Recording() || State.inBeginEnd) return SetError(GL_INVALID_OPERATION);
    if (list >= g_lists.size()) g_lists.resize(list + 1);
    g_nextName = std::max(g_nextName, list + 1);
    g_lists[list] = List{};
    g_recording = list;
    std::copy_n(State.colour, 4, g_savedColour);
    std::copy_n(State.normal, 3, g_savedNormal);
    for (int unit = 0; unit < TextureUnits; ++unit) std::copy_n(State.units[unit].texCoord, 4, g_savedTexCoord[unit]);
}

void EndList()
{
    if (!Recording() || State.inBeginEnd) return SetError(GL_INVALID_OPERATION);
    List& list = Recorded();
    for (size_t i = 0; i < list.batches.size(); ++i) {
        Batch& batch = list.batches[i];
        batch.vertices =
            MakeBuffer(GL_ARRAY_BUFFER, g_batchVertices[i].data(), g_batchVertices[i].size() * sizeof(ListVertex));
        batch.indices =
            MakeBuffer(GL_ELEMENT_ARRAY_BUFFER, g_batchIndices[i].data(), g_batchIndices[i].size() * sizeof(uint32_t));
    }
    // The application's buffers go back in place of the list's: another renderer may draw next.
    BindArrayBuffer(State.arrayBuffer);
    BindElementArrayBuffer(State.elementArrayBuffer);
    g_batchVertices.clear();
    g_batchIndices.clear();
    g_recording = 0;
    std::copy_n(g_savedColour, 4, State.colour);
    std::copy_n(g_savedNormal, 3, State.normal);
    for (int unit = 0; unit < TextureUnits; ++unit) std::copy_n(g_savedTexCoord[unit], 4, State.units[unit].texCoord);
}

void CallList(GLuint list)
{
    if (Recording()) return SetError(GL_INVALID_OPERATION);
    if (list >= g_lists.size()) return;
    for (const Step& step : g_lists[list].steps) {
        switch (step.kind) {
        case StepKind::DrawBatch: ReplayBatch(g_lists[list].batches[static_cast<size_t>(step.batch)]); break;
        case StepKind::SetColour: Color4fv(step.values); break;
        case StepKind::SetNormal: Normal3f(step.values[0], step.values[1], step.values[2]); break;
        case StepKind::SetTexCoord0: MultiTexCoord2f(GL_TEXTURE0, step.values[0], step.values[1]); break;
        case StepKind::SetTexCoord1: MultiTexCoord2f(GL_TEXTURE1, step.values[0], step.values[1]); break;
        case StepKind::MultMatrix: MultMatrixf(step.values); break;
        }
    }
}

} // namespace ffp
