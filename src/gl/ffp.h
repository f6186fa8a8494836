// The fixed-function layer on shaders (ffp): the GL 1.1 pipeline of gl/gl.h drawn with
// programs generated for each combination of its state, on a context that has no fixed
// function (a core profile, OpenGL ES 3, WebGL 2). Its state lives in one struct, FfpState;
// the files of the layer share it through this header:
//   ffp_state.cpp     capabilities, texture environments, alpha test, fog, queries, errors
//   ffp_matrices.cpp  the matrix stacks, with the driver's own arithmetic (matrix_math.h)
//   ffp_vertices.cpp  immediate mode, vertex arrays and the streaming buffers they go through
//   ffp_lists.cpp     display lists, recorded as vertex batches and replayed
//   ffp_programs.cpp  the program key, the shader generator and the program cache
//   ffp_textures.cpp  what the layer knows of each texture, read-backs in the formats asked for
//   ffp_entry_points.cpp  the table, and the calls passed straight to the driver
// Implementation files include the driver's header (gl/driver_gl.h) and gl/gl_enums.h; nothing
// outside the gl layer includes this one.
#pragma once

#include "gl/gl_entry_points.h"
#include "gl/gl_enums.h"

#include <cstdint>

// Compatibility-profile enumerants the layer answers beyond those the piece calls with, in
// the Khronos spelling (an OpenGL ES header has none of them).
#define GL_ONE_MINUS_SRC_COLOR 0x0301
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
#define GL_EXP 0x0800
#define GL_EXP2 0x0801
#define GL_FOG_DENSITY 0x0B62
#define GL_ALPHA_SCALE 0x0D1C
#define GL_COMPILE_AND_EXECUTE 0x1301
#define GL_FLAT 0x1D00

namespace ffp {

constexpr int TextureUnits = 2;
constexpr int MatrixStackDepth = 32;

// The texture environment reduced to what the program generator reads. GL_MODULATE is the
// combiner modulating texture and previous colour, as in GL's own definition of it.
enum class Combiner : uint8_t { Replace, Modulate, Interpolate };
enum class CombinerSource : uint8_t { Texture, Constant, PrimaryColour, Previous };
enum class CombinerOperand : uint8_t { Colour, OneMinusColour, Alpha, OneMinusAlpha };

struct CombinerArgument {
    CombinerSource source;
    CombinerOperand operand;
    bool operator==(const CombinerArgument&) const = default;
};

struct TextureEnvironment {
    bool combine = false; // GL_COMBINE; otherwise GL_MODULATE
    Combiner rgbCombiner = Combiner::Modulate;
    Combiner alphaCombiner = Combiner::Modulate;
    CombinerArgument rgb[3] = {{CombinerSource::Texture, CombinerOperand::Colour},
                               {CombinerSource::Previous, CombinerOperand::Colour},
                               {CombinerSource::Constant, CombinerOperand::Alpha}};
    CombinerArgument alpha[3] = {{CombinerSource::Texture, CombinerOperand::Alpha},
                                 {CombinerSource::Previous, CombinerOperand::Alpha},
                                 {CombinerSource::Constant, CombinerOperand::Alpha}};
    float rgbScale = 1;
    float alphaScale = 1;
    float colour[4] = {0, 0, 0, 0};
};

struct TextureUnit {
    bool texture2D = false;
    // Sphere-map generation of s and t, the only generation the layer draws: enabled, and the
    // mode of each coordinate (GL's initial mode is eye-linear, which the layer refuses to draw).
    bool generateS = false, generateT = false;
    bool sphereMapS = false, sphereMapT = false;
    TextureEnvironment environment;
    GLuint boundTexture = 0;
    GLuint boundSampler = 0;
    float texCoord[4] = {0, 0, 0, 1};
};

// A 4x4 matrix in column order, as GL keeps it.
struct Matrix {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

struct MatrixStack {
    Matrix levels[MatrixStackDepth];
    int depth = 0; // index of the top
    Matrix& Top() { return levels[depth]; }
    const Matrix& Top() const { return levels[depth]; }
};

// A client vertex array as the application set it: in client memory, or at an offset into the
// buffer object bound to GL_ARRAY_BUFFER when the pointer was given.
struct ClientArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const void* pointer = nullptr;
    GLuint buffer = 0;
};

enum class FogMode : uint8_t { Off, Linear, Exp, Exp2 };

struct FfpState {
    GLenum matrixMode = GL_MODELVIEW;
    MatrixStack modelview, projection;
    // Bumped by every change to either stack, so derived matrices are made again only then.
    uint32_t matrixVersion = 1;

    float colour[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};

    TextureUnit units[TextureUnits];
    int activeUnit = 0;

    bool alphaTest = false;
    GLenum alphaFunction = GL_ALWAYS;
    float alphaReference = 0;

    bool fog = false;
    GLenum fogMode = GL_EXP;
    float fogDensity = 1, fogStart = 0, fogEnd = 1;
    float fogColour[4] = {0, 0, 0, 0};

    ClientArray vertexArray, colourArray, normalArray, texCoordArray;
    // The buffers the application has bound; the layer binds its own streaming buffers too,
    // and puts the application's back before a call that acts on them.
    GLuint arrayBuffer = 0, elementArrayBuffer = 0;

    GLint packAlignment = 4;
    // The first error the layer found since glGetError last reported one.
    GLenum error = GL_NO_ERROR;

    // glBegin .. glEnd
    bool inBeginEnd = false;
    GLenum primitive = 0;
};

extern FfpState State;

// Records an error, as GL does: the first stays until glGetError takes it.
void SetError(GLenum error);

// Whether the unit samples: 2D texturing on and a texture bound that has the levels its
// filter reads (GL leaves a unit with an incomplete texture out of the environment chain).
bool UnitSamples(int unit);

// The layer on a new context, from GL's initial state: its streaming buffers and vertex array
// object made, the programs, textures and lists of the context before forgotten.
void StartLayer();
// The context goes: everything the layer made with it is forgotten (not deleted: it went with
// the context).
void StopLayer();

// Per-file parts of starting and stopping.
void StartVertexStreams();
void StopVertexStreams();
void ForgetPrograms();
void ForgetTextures();
void ForgetLists();

// The draw every primitive ends in: vertices already in a buffer, the program for the current
// state, its uniforms, then the driver's draw.
struct AttributeSource {
    bool present = false; // otherwise the current value
    GLuint buffer = 0;
    GLint size = 4;
    GLsizei stride = 0;
    uintptr_t offset = 0;
};
struct VertexSources {
    AttributeSource position, colour, normal, texCoord[TextureUnits];
};
enum class DrawIndices { None, Quads, Buffer };
struct DrawCall {
    VertexSources sources;
    int vertexCount = 0; // for None and Quads
    DrawIndices indices = DrawIndices::None;
    GLuint indexBuffer = 0; // for Buffer: 32-bit indices
    uintptr_t indexOffset = 0;
    int indexCount = 0;
    GLuint lastVertex = 0;
};
void Draw(const DrawCall& call);

// Vertex attributes at fixed locations, bound before programs are linked.
enum AttributeLocation : GLuint {
    PositionLocation,
    ColourLocation,
    NormalLocation,
    TexCoord0Location,
    TexCoord1Location
};

// The driver's buffer bindings, set only when they change.
void BindArrayBuffer(GLuint buffer);
void BindElementArrayBuffer(GLuint buffer);
// After the driver's bindings changed behind the layer's back (another renderer drew): the next
// binds are made whatever the layer last set.
void ForgetDriverBindings();
// The layer's vertex array object, bound; the fixed renderer draws with the default one.
void BindLayerVertexArray();

// The program for the current state, bound, with its uniforms up to date; then which vertex
// attributes it reads besides the position and the colour.
void UseProgramForState();
bool ProgramReadsNormals();
bool ProgramReadsTexCoords(int unit);
// Another renderer bound a program of its own: the next draw binds the layer's again.
void ForgetCurrentProgram();

// Immediate-mode and array vertices as display lists record them.
struct ListVertex {
    float position[3];
    float colour[4];
    float normal[3];
    float texCoord[TextureUnits][2];
};
// Which attributes a recorded batch carries; the others take the current values at replay.
enum AttributeBits : uint8_t {
    HasColour = 1,
    HasNormal = 2,
    HasTexCoord0 = 4,
    HasTexCoord1 = 8,
};
bool Recording();
// A command that display lists do not record, while one is compiled: refused, true.
bool CompilingRefuses();
// The attributes of list vertices at `base` in `buffer`.
VertexSources ListVertexSources(GLuint buffer, uintptr_t base, uint8_t attributes);
void RecordTriangles(const ListVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                     uint8_t attributes);
void RecordMultMatrix(const float m[16]);
void RecordCurrentAttributes(uint8_t attributes);

// Entry points implemented across the layer's files, one for each of the subset.
#define LANTERN_FFP_DECLARE(kind, result, name, parameters, arguments) result name parameters;
LANTERN_GL_ENTRY_POINTS(LANTERN_FFP_DECLARE)
#undef LANTERN_FFP_DECLARE

} // namespace ffp

extern const GlEntryPoints ShaderEntryPoints;
