// Programs of the layer on shaders. The state that decides what a fragment's colour is reduced
// to a small key (per texture unit its combiners, their arguments and scales and sphere
// mapping; the alpha test's function; the fog mode); a program is generated for each key the
// first time it is drawn with, compiled once, and kept. The generated source reads as the
// fixed-function equations it implements, in the order and precision of Mesa's own
// generators (ffvertex_prog.c and ff_fragment_shader.cpp), so that it computes the same
// numbers. GLSL ES 1.00 (WebGL 1), which OpenGL ES 3, WebGL 2 and the desktop drivers all take.
#include "base/error.h"
#include "gl/driver_gl.h"
#include "gl/ffp.h"
#include "gl/matrix_math.h"

#include <cmath>
#include <cstring>
#include <string>

namespace ffp {

namespace {

struct UnitKey {
    bool samples = false;
    bool sphereMapS = false, sphereMapT = false;
    Combiner rgbCombiner = Combiner::Replace, alphaCombiner = Combiner::Replace;
    CombinerArgument rgb[3] = {}, alpha[3] = {};
    uint8_t rgbScale = 1, alphaScale = 1;
    bool operator==(const UnitKey&) const = default;
};

struct ProgramKey {
    UnitKey units[TextureUnits];
    GLenum alphaTest = GL_ALWAYS; // the function; GL_ALWAYS when the test is off
    FogMode fog = FogMode::Off;
    bool operator==(const ProgramKey&) const = default;
};

struct Program {
    ProgramKey key;
    GLuint id = 0;
    GLint modelViewProjection = -1, modelView = -1, inverseModelView = -1, eyeDepthRow = -1;
    GLint alphaReference = -1, fogColour = -1, fogParameters = -1;
    GLint environmentColour[TextureUnits] = {-1, -1};
    // What was last given to the uniforms, so that only changes are sent.
    uint32_t matrixVersion = 0;
    float sentAlphaReference = -1;
    float sentFogColour[4] = {-1, -1, -1, -1};
    float sentFogParameters[4] = {};
    float sentEnvironmentColour[TextureUnits][4] = {{-1, -1, -1, -1}, {-1, -1, -1, -1}};
};

// Every program made on this context. The piece draws with a few dozen combinations; the
// store is fixed, and a state beyond it is a fault of the layer, said as such.
constexpr int MaxPrograms = 128;
Program g_programs[MaxPrograms];
int g_programCount = 0;
Program* g_current = nullptr;

// The matrices the programs take, made from the stacks when they change.
struct DerivedMatrices {
    uint32_t version = 0;
    float modelViewProjection[16];
    float inverseModelView[9];
    float eyeDepthRow[4];
};
DerivedMatrices g_derived;

int ArgumentCount(Combiner combiner)
{
    switch (combiner) {
    case Combiner::Replace: return 1;
    case Combiner::Modulate: return 2;
    case Combiner::Interpolate: return 3;
    }
    return 0;
}

UnitKey KeyForUnit(int unit)
{
    UnitKey key;
    const TextureUnit& state = State.units[unit];
    if (!UnitSamples(unit)) return key;
    key.samples = true;
    if ((state.generateS && !state.sphereMapS) || (state.generateT && !state.sphereMapT))
        SetError(GL_INVALID_OPERATION); // generation other than sphere mapping is not drawn
    key.sphereMapS = state.generateS && state.sphereMapS;
    key.sphereMapT = state.generateT && state.sphereMapT;
    const TextureEnvironment& environment = state.environment;
    if (!environment.combine) {
        // GL_MODULATE: texture times previous colour, colour and alpha alike.
        key.rgbCombiner = key.alphaCombiner = Combiner::Modulate;
        key.rgb[0] = {CombinerSource::Texture, CombinerOperand::Colour};
        key.rgb[1] = {CombinerSource::Previous, CombinerOperand::Colour};
        key.alpha[0] = {CombinerSource::Texture, CombinerOperand::Alpha};
        key.alpha[1] = {CombinerSource::Previous, CombinerOperand::Alpha};
        return key;
    }
    key.rgbCombiner = environment.rgbCombiner;
    key.alphaCombiner = environment.alphaCombiner;
    for (int i = 0; i < ArgumentCount(key.rgbCombiner); ++i) key.rgb[i] = environment.rgb[i];
    for (int i = 0; i < ArgumentCount(key.alphaCombiner); ++i) key.alpha[i] = environment.alpha[i];
    key.rgbScale = static_cast<uint8_t>(environment.rgbScale);
    key.alphaScale = static_cast<uint8_t>(environment.alphaScale);
    return key;
}

ProgramKey KeyForState()
{
    ProgramKey key;
    for (int unit = 0; unit < TextureUnits; ++unit) key.units[unit] = KeyForUnit(unit);
    if (State.alphaTest) key.alphaTest = State.alphaFunction;
    if (State.fog)
        key.fog = State.fogMode == GL_LINEAR ? FogMode::Linear : State.fogMode == GL_EXP ? FogMode::Exp : FogMode::Exp2;
    return key;
}

bool UsesConstant(const UnitKey& unit)
{
    for (const CombinerArgument& argument : unit.rgb)
        if (argument.source == CombinerSource::Constant) return true;
    for (const CombinerArgument& argument : unit.alpha)
        if (argument.source == CombinerSource::Constant) return true;
    return false;
}

bool GeneratesSphereMap(const ProgramKey& key)
{
    for (const UnitKey& unit : key.units)
        if (unit.sphereMapS || unit.sphereMapT) return true;
    return false;
}

// ---- The vertex program: position, colour, texture coordinates, fog coordinate ----

std::string VertexShaderSource(const ProgramKey& key)
{
    const bool sphereMap = GeneratesSphereMap(key);
    std::string s = "#version 100\n"
                    "attribute vec4 a_position;\n"
                    "attribute vec4 a_colour;\n"
                    "uniform mat4 u_modelViewProjection;\n"
                    "varying vec4 v_colour;\n";
    for (int unit = 0; unit < TextureUnits; ++unit) {
        if (!key.units[unit].samples) continue;
        const std::string u = std::to_string(unit);
        s += "attribute vec2 a_texCoord" + u + ";\nvarying vec2 v_texCoord" + u + ";\n";
    }
    if (sphereMap)
        s += "attribute vec3 a_normal;\n"
             "uniform mat4 u_modelView;\n"
             "uniform mat3 u_inverseModelView;\n";
    if (key.fog != FogMode::Off) s += "uniform vec4 u_eyeDepthRow;\nvarying float v_fogCoordinate;\n";
    s += "invariant gl_Position;\n"
         "void main()\n{\n"
         "    // The vertex in clip space: the projection times the modelview, one matrix.\n"
         "    gl_Position = u_modelViewProjection * a_position;\n"
         "    // Vertex colours are clamped to [0, 1].\n"
         "    v_colour = clamp(a_colour, 0.0, 1.0);\n";
    if (sphereMap)
        s += "    // Sphere mapping: u, the unit vector from the eye to the vertex; n, the normal in eye\n"
             "    // space (the rows of the inverse modelview); r = u - 2 n (n . u), the reflection; then\n"
             "    // s, t = r.xy / m + 1/2 with m = 2 sqrt(rx^2 + ry^2 + (rz + 1)^2).\n"
             "    vec3 eye = (u_modelView * a_position).xyz;\n"
             "    vec3 u = eye * inversesqrt(dot(eye, eye));\n"
             "    vec3 n = a_normal * u_inverseModelView;\n"
             "    float twiceNormalDotU = dot(n, u);\n"
             "    twiceNormalDotU = twiceNormalDotU + twiceNormalDotU;\n"
             "    vec3 r = -twiceNormalDotU * n + u;\n"
             "    vec3 rPlusZ = r + vec3(0.0, 0.0, 1.0);\n"
             "    float halfOverM = inversesqrt(dot(rPlusZ, rPlusZ)) * 0.5;\n"
             "    vec2 sphereMap = r.xy * halfOverM + 0.5;\n";
    for (int unit = 0; unit < TextureUnits; ++unit) {
        const UnitKey& k = key.units[unit];
        if (!k.samples) continue;
        const std::string u = std::to_string(unit);
        if (!k.sphereMapS && !k.sphereMapT) s += "    v_texCoord" + u + " = a_texCoord" + u + ";\n";
        else
            s += "    v_texCoord" + u + " = vec2(" + (k.sphereMapS ? "sphereMap.x" : "a_texCoord" + u + ".x") + ", " +
                 (k.sphereMapT ? "sphereMap.y" : "a_texCoord" + u + ".y") + ");\n";
    }
    if (key.fog != FogMode::Off)
        s += "    // The fog coordinate: the distance from the eye plane, |z| in eye space.\n"
             "    v_fogCoordinate = abs(dot(a_position, u_eyeDepthRow));\n";
    return s + "}\n";
}

// ---- The fragment program: the texture environments in unit order, fog, the alpha test ----

// A combiner argument: a source's colour or alpha, or one minus it.
std::string Argument(int unit, const CombinerArgument& argument, bool alphaChannel)
{
    std::string source;
    switch (argument.source) {
    case CombinerSource::Texture: source = "texel" + std::to_string(unit); break;
    case CombinerSource::Constant: source = "u_environmentColour" + std::to_string(unit); break;
    case CombinerSource::PrimaryColour: source = "v_colour"; break;
    case CombinerSource::Previous: source = "previous"; break;
    }
    switch (argument.operand) {
    case CombinerOperand::Colour: return source + ".rgb";
    case CombinerOperand::OneMinusColour: return "(1.0 - " + source + ".rgb)";
    case CombinerOperand::Alpha: return alphaChannel ? source + ".a" : "vec3(" + source + ".a)";
    case CombinerOperand::OneMinusAlpha:
        return alphaChannel ? "(1.0 - " + source + ".a)" : "vec3(1.0 - " + source + ".a)";
    }
    return source;
}

// REPLACE: a0; MODULATE: a0 a1; INTERPOLATE: a0 a2 + a1 (1 - a2); then times the scale,
// clamped, when the scale is not 1.
std::string Combination(int unit, Combiner combiner, const CombinerArgument (&arguments)[3], uint8_t scale,
                        bool alphaChannel)
{
    const std::string a0 = Argument(unit, arguments[0], alphaChannel);
    std::string value;
    switch (combiner) {
    case Combiner::Replace: value = a0; break;
    case Combiner::Modulate: value = a0 + " * " + Argument(unit, arguments[1], alphaChannel); break;
    case Combiner::Interpolate: {
        const std::string a2 = Argument(unit, arguments[2], alphaChannel);
        value = a0 + " * " + a2 + " + " + Argument(unit, arguments[1], alphaChannel) + " * (1.0 - " + a2 + ")";
        break;
    }
    }
    if (scale == 1) return value;
    return "clamp((" + value + ") * " + std::to_string(scale) + ".0, 0.0, 1.0)";
}

const char* AlphaTestPasses(GLenum function)
{
    switch (function) {
    case GL_NEVER: return "false";
    case GL_LESS: return "previous.a < u_alphaReference";
    case GL_EQUAL: return "previous.a == u_alphaReference";
    case GL_LEQUAL: return "previous.a <= u_alphaReference";
    case GL_GREATER: return "previous.a > u_alphaReference";
    case GL_NOTEQUAL: return "previous.a != u_alphaReference";
    case GL_GEQUAL: return "previous.a >= u_alphaReference";
    default: return "true";
    }
}

std::string FragmentShaderSource(const ProgramKey& key)
{
    std::string s = "#version 100\n"
                    "precision highp float;\n"
                    "varying vec4 v_colour;\n";
    for (int unit = 0; unit < TextureUnits; ++unit) {
        if (!key.units[unit].samples) continue;
        const std::string u = std::to_string(unit);
        s += "varying vec2 v_texCoord" + u + ";\nuniform sampler2D u_texture" + u + ";\n";
        if (UsesConstant(key.units[unit])) s += "uniform vec4 u_environmentColour" + u + ";\n";
    }
    if (key.fog != FogMode::Off)
        s += "varying float v_fogCoordinate;\n"
             "uniform vec4 u_fogColour;\n"
             "// -1 / (end - start), end / (end - start), density / ln 2, density / sqrt(ln 2)\n"
             "uniform vec4 u_fogParameters;\n";
    if (key.alphaTest != GL_ALWAYS) s += "uniform float u_alphaReference;\n";
    s += "void main()\n{\n"
         "    vec4 previous = v_colour;\n";
    for (int unit = 0; unit < TextureUnits; ++unit) {
        const UnitKey& k = key.units[unit];
        if (!k.samples) continue;
        const std::string u = std::to_string(unit);
        s += "    // Texture unit " + u + "\n";
        s += "    vec4 texel" + u + " = texture2D(u_texture" + u + ", v_texCoord" + u + ");\n";
        s += "    previous = vec4(" + Combination(unit, k.rgbCombiner, k.rgb, k.rgbScale, false) + ",\n" +
             "                    " + Combination(unit, k.alphaCombiner, k.alpha, k.alphaScale, true) + ");\n";
    }
    switch (key.fog) {
    case FogMode::Off: break;
    case FogMode::Linear:
        s += "    // Linear fog: f = (end - z) / (end - start)\n"
             "    float fog = clamp(v_fogCoordinate * u_fogParameters.x + u_fogParameters.y, 0.0, 1.0);\n";
        break;
    case FogMode::Exp:
        s += "    // Exponential fog: f = e^-(density z)\n"
             "    float fog = clamp(exp2(-(v_fogCoordinate * u_fogParameters.z)), 0.0, 1.0);\n";
        break;
    case FogMode::Exp2:
        s += "    // Squared exponential fog: f = e^-(density z)^2\n"
             "    float fogDistance = v_fogCoordinate * u_fogParameters.w;\n"
             "    float fog = clamp(exp2(-(fogDistance * fogDistance)), 0.0, 1.0);\n";
        break;
    }
    if (key.fog != FogMode::Off)
        s += "    // The colour moves towards the fog's by 1 - f; alpha stays.\n"
             "    previous.rgb = u_fogColour.rgb * (1.0 - fog) + previous.rgb * fog;\n";
    if (key.alphaTest != GL_ALWAYS)
        s += std::string("    // The alpha test\n    if (!(") + AlphaTestPasses(key.alphaTest) + ")) discard;\n";
    return s + "    gl_FragColor = previous;\n}\n";
}

GLuint CompileShader(GLenum type, const std::string& source)
{
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    throw FatalError(StrFormat("the GL driver does not compile the renderer's %s shader: %s\n%s",
                               type == GL_VERTEX_SHADER ? "vertex" : "fragment", log, source.c_str()));
}

void MakeProgram(Program& program, const ProgramKey& key)
{
    program = Program{};
    program.key = key;
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, VertexShaderSource(key));
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, FragmentShaderSource(key));
    program.id = glCreateProgram();
    glAttachShader(program.id, vertex);
    glAttachShader(program.id, fragment);
    glBindAttribLocation(program.id, PositionLocation, "a_position");
    glBindAttribLocation(program.id, ColourLocation, "a_colour");
    glBindAttribLocation(program.id, NormalLocation, "a_normal");
    glBindAttribLocation(program.id, TexCoord0Location, "a_texCoord0");
    glBindAttribLocation(program.id, TexCoord1Location, "a_texCoord1");
    glLinkProgram(program.id);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program.id, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[2048] = {};
        glGetProgramInfoLog(program.id, sizeof log, nullptr, log);
        throw FatalError(StrFormat("the GL driver does not link the renderer's program: %s", log));
    }
    glUseProgram(program.id);
    program.modelViewProjection = glGetUniformLocation(program.id, "u_modelViewProjection");
    program.modelView = glGetUniformLocation(program.id, "u_modelView");
    program.inverseModelView = glGetUniformLocation(program.id, "u_inverseModelView");
    program.eyeDepthRow = glGetUniformLocation(program.id, "u_eyeDepthRow");
    program.alphaReference = glGetUniformLocation(program.id, "u_alphaReference");
    program.fogColour = glGetUniformLocation(program.id, "u_fogColour");
    program.fogParameters = glGetUniformLocation(program.id, "u_fogParameters");
    for (int unit = 0; unit < TextureUnits; ++unit) {
        const std::string u = std::to_string(unit);
        program.environmentColour[unit] = glGetUniformLocation(program.id, ("u_environmentColour" + u).c_str());
        const GLint sampler = glGetUniformLocation(program.id, ("u_texture" + u).c_str());
        if (sampler >= 0) glUniform1i(sampler, unit);
    }
}

Program& ProgramFor(const ProgramKey& key)
{
    if (g_current && g_current->key == key) return *g_current;
    for (int i = 0; i < g_programCount; ++i)
        if (g_programs[i].key == key) return g_programs[i];
    if (g_programCount == MaxPrograms)
        throw FatalError(StrFormat("the renderer on shaders met more than %d combinations of texture environments, "
                                   "alpha test and fog",
                                   MaxPrograms));
    Program& program = g_programs[g_programCount++];
    MakeProgram(program, key);
    return program;
}

const DerivedMatrices& Matrices()
{
    if (g_derived.version == State.matrixVersion) return g_derived;
    const float* modelview = State.modelview.Top().m;
    matrix_math::Multiply(g_derived.modelViewProjection, State.projection.Top().m, modelview);
    if (!matrix_math::InverseOfUpper3x3(modelview, g_derived.inverseModelView))
        std::memcpy(g_derived.inverseModelView, Matrix{}.m, sizeof g_derived.inverseModelView);
    for (int column = 0; column < 4; ++column) g_derived.eyeDepthRow[column] = modelview[column * 4 + 2];
    g_derived.version = State.matrixVersion;
    return g_derived;
}

// Sends a vec4 uniform when it differs from what was sent.
void SendVec4(GLint location, const float (&value)[4], float (&sent)[4])
{
    if (location < 0 || std::memcmp(value, sent, sizeof sent) == 0) return;
    std::memcpy(sent, value, sizeof sent);
    glUniform4fv(location, 1, value);
}

void SendUniforms(Program& program)
{
    if (program.matrixVersion != State.matrixVersion) {
        const DerivedMatrices& matrices = Matrices();
        glUniformMatrix4fv(program.modelViewProjection, 1, GL_FALSE, matrices.modelViewProjection);
        if (program.modelView >= 0) glUniformMatrix4fv(program.modelView, 1, GL_FALSE, State.modelview.Top().m);
        if (program.inverseModelView >= 0)
            glUniformMatrix3fv(program.inverseModelView, 1, GL_FALSE, matrices.inverseModelView);
        if (program.eyeDepthRow >= 0) glUniform4fv(program.eyeDepthRow, 1, matrices.eyeDepthRow);
        program.matrixVersion = State.matrixVersion;
    }
    if (program.alphaReference >= 0 && program.sentAlphaReference != State.alphaReference) {
        program.sentAlphaReference = State.alphaReference;
        glUniform1f(program.alphaReference, State.alphaReference);
    }
    if (program.fogColour >= 0) {
        SendVec4(program.fogColour, State.fogColour, program.sentFogColour);
        // As the driver prepares them: linear fog in one multiply-add, the exponentials in
        // powers of two.
        const float linear = State.fogEnd == State.fogStart ? 1.0f : -1.0f / (State.fogEnd - State.fogStart);
        const float parameters[4] = {linear, State.fogEnd * -linear, static_cast<float>(State.fogDensity * M_LOG2E),
                                     static_cast<float>(State.fogDensity * (1.0 / std::sqrt(M_LN2)))};
        SendVec4(program.fogParameters, parameters, program.sentFogParameters);
    }
    for (int unit = 0; unit < TextureUnits; ++unit)
        SendVec4(program.environmentColour[unit], State.units[unit].environment.colour,
                 program.sentEnvironmentColour[unit]);
}

} // namespace

void UseProgramForState()
{
    Program& program = ProgramFor(KeyForState());
    if (&program != g_current) {
        glUseProgram(program.id);
        g_current = &program;
    }
    SendUniforms(program);
}

bool ProgramReadsNormals()
{
    return g_current && GeneratesSphereMap(g_current->key);
}

bool ProgramReadsTexCoords(int unit)
{
    return g_current && g_current->key.units[unit].samples &&
           !(g_current->key.units[unit].sphereMapS && g_current->key.units[unit].sphereMapT);
}

void ForgetCurrentProgram()
{
    g_current = nullptr;
}

void ForgetPrograms()
{
    g_programCount = 0;
    g_current = nullptr;
    g_derived.version = 0;
}

} // namespace ffp
