// The fixed-function state of the layer on shaders: capabilities, the current vertex
// attributes, texture environments and coordinate generation, the alpha test, fog, and the
// queries that read them back. Everything here only records; the program generator reads it
// at the next draw.
#include "gl/driver_gl.h"
#include "gl/ffp.h"

#include <algorithm>
#include <cstring>

namespace ffp {

FfpState State;

void SetError(GLenum error)
{
    if (State.error == GL_NO_ERROR) State.error = error;
}

namespace {

float Clamped(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

TextureUnit& ActiveUnit()
{
    return State.units[State.activeUnit];
}

// The capabilities the layer keeps itself; the others are the driver's (blending, depth,
// scissor, culling).
bool* LayerCapability(GLenum cap)
{
    switch (cap) {
    case GL_TEXTURE_2D: return &ActiveUnit().texture2D;
    case GL_TEXTURE_GEN_S: return &ActiveUnit().generateS;
    case GL_TEXTURE_GEN_T: return &ActiveUnit().generateT;
    case GL_ALPHA_TEST: return &State.alphaTest;
    case GL_FOG: return &State.fog;
    default: return nullptr;
    }
}

void SetCapability(GLenum cap, bool on)
{
    if (bool* capability = LayerCapability(cap)) *capability = on;
    else if (on) glEnable(cap);
    else glDisable(cap);
}

bool ToSource(GLint value, CombinerSource& source)
{
    switch (value) {
    case GL_TEXTURE: source = CombinerSource::Texture; return true;
    case GL_CONSTANT: source = CombinerSource::Constant; return true;
    case GL_PRIMARY_COLOR: source = CombinerSource::PrimaryColour; return true;
    case GL_PREVIOUS: source = CombinerSource::Previous; return true;
    default: return false;
    }
}

bool ToOperand(GLint value, CombinerOperand& operand, bool alpha)
{
    switch (value) {
    case GL_SRC_COLOR: operand = CombinerOperand::Colour; return !alpha;
    case GL_ONE_MINUS_SRC_COLOR: operand = CombinerOperand::OneMinusColour; return !alpha;
    case GL_SRC_ALPHA: operand = CombinerOperand::Alpha; return true;
    case GL_ONE_MINUS_SRC_ALPHA: operand = CombinerOperand::OneMinusAlpha; return true;
    default: return false;
    }
}

bool ToCombiner(GLint value, Combiner& combiner)
{
    switch (value) {
    case GL_REPLACE: combiner = Combiner::Replace; return true;
    case GL_MODULATE: combiner = Combiner::Modulate; return true;
    case GL_INTERPOLATE: combiner = Combiner::Interpolate; return true;
    default: return false;
    }
}

void SetTexEnv(GLenum target, GLenum pname, GLint value, const GLfloat* floats)
{
    if (target != GL_TEXTURE_ENV) return SetError(GL_INVALID_ENUM);
    TextureEnvironment& environment = ActiveUnit().environment;
    bool valid = true;
    switch (pname) {
    case GL_TEXTURE_ENV_MODE:
        // GL_MODULATE and GL_COMBINE are the environments the piece draws with.
        valid = value == GL_MODULATE || value == GL_COMBINE;
        if (valid) environment.combine = value == GL_COMBINE;
        break;
    case GL_COMBINE_RGB: valid = ToCombiner(value, environment.rgbCombiner); break;
    case GL_COMBINE_ALPHA: valid = ToCombiner(value, environment.alphaCombiner); break;
    case GL_SOURCE0_RGB:
    case GL_SOURCE1_RGB:
    case GL_SOURCE2_RGB: valid = ToSource(value, environment.rgb[pname - GL_SOURCE0_RGB].source); break;
    case GL_SOURCE0_ALPHA:
    case GL_SOURCE1_ALPHA:
    case GL_SOURCE2_ALPHA: valid = ToSource(value, environment.alpha[pname - GL_SOURCE0_ALPHA].source); break;
    case GL_OPERAND0_RGB:
    case GL_OPERAND1_RGB:
    case GL_OPERAND2_RGB: valid = ToOperand(value, environment.rgb[pname - GL_OPERAND0_RGB].operand, false); break;
    case GL_OPERAND0_ALPHA:
    case GL_OPERAND1_ALPHA:
    case GL_OPERAND2_ALPHA: valid = ToOperand(value, environment.alpha[pname - GL_OPERAND0_ALPHA].operand, true); break;
    case GL_RGB_SCALE:
    case GL_ALPHA_SCALE: {
        const float scale = floats ? floats[0] : static_cast<float>(value);
        valid = scale == 1.0f || scale == 2.0f || scale == 4.0f;
        if (valid) (pname == GL_RGB_SCALE ? environment.rgbScale : environment.alphaScale) = scale;
        break;
    }
    case GL_TEXTURE_ENV_COLOR:
        valid = floats != nullptr;
        if (valid)
            for (int i = 0; i < 4; ++i) environment.colour[i] = Clamped(floats[i]);
        break;
    default: valid = false; break;
    }
    if (!valid) SetError(GL_INVALID_ENUM);
}

void SetFog(GLenum pname, const GLfloat* params)
{
    switch (pname) {
    case GL_FOG_MODE: {
        const GLenum mode = static_cast<GLenum>(params[0]);
        if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) return SetError(GL_INVALID_ENUM);
        State.fogMode = mode;
        break;
    }
    case GL_FOG_DENSITY:
        if (params[0] < 0) return SetError(GL_INVALID_VALUE);
        State.fogDensity = params[0];
        break;
    case GL_FOG_START: State.fogStart = params[0]; break;
    case GL_FOG_END: State.fogEnd = params[0]; break;
    case GL_FOG_COLOR:
        for (int i = 0; i < 4; ++i) State.fogColour[i] = Clamped(params[i]);
        break;
    default: SetError(GL_INVALID_ENUM); break;
    }
}

} // namespace

void Enable(GLenum cap)
{
    if (CompilingRefuses()) return;
    SetCapability(cap, true);
}

void Disable(GLenum cap)
{
    if (CompilingRefuses()) return;
    SetCapability(cap, false);
}

GLboolean IsEnabled(GLenum cap)
{
    if (const bool* capability = LayerCapability(cap)) return *capability ? GL_TRUE : GL_FALSE;
    return glIsEnabled(cap);
}

void Color4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    State.colour[0] = red;
    State.colour[1] = green;
    State.colour[2] = blue;
    State.colour[3] = alpha;
    if (Recording() && !State.inBeginEnd) RecordCurrentAttributes(HasColour);
}

void Color4fv(const GLfloat* v)
{
    Color4f(v[0], v[1], v[2], v[3]);
}

void MultiTexCoord2f(GLenum target, GLfloat s, GLfloat t)
{
    const unsigned unit = target - GL_TEXTURE0;
    if (unit >= TextureUnits) return SetError(GL_INVALID_ENUM);
    float* texCoord = State.units[unit].texCoord;
    texCoord[0] = s;
    texCoord[1] = t;
    texCoord[2] = 0;
    texCoord[3] = 1;
    if (Recording() && !State.inBeginEnd) RecordCurrentAttributes(unit == 0 ? HasTexCoord0 : HasTexCoord1);
}

void TexCoord2f(GLfloat s, GLfloat t)
{
    MultiTexCoord2f(GL_TEXTURE0, s, t);
}

void TexCoord2fv(const GLfloat* v)
{
    MultiTexCoord2f(GL_TEXTURE0, v[0], v[1]);
}

void Normal3f(GLfloat nx, GLfloat ny, GLfloat nz)
{
    State.normal[0] = nx;
    State.normal[1] = ny;
    State.normal[2] = nz;
    if (Recording() && !State.inBeginEnd) RecordCurrentAttributes(HasNormal);
}

void AlphaFunc(GLenum func, GLfloat ref)
{
    if (CompilingRefuses()) return;
    if (func < GL_NEVER || func > GL_ALWAYS) return SetError(GL_INVALID_ENUM);
    State.alphaFunction = func;
    State.alphaReference = Clamped(ref);
}

void Fogf(GLenum pname, GLfloat param)
{
    if (CompilingRefuses()) return;
    if (pname == GL_FOG_COLOR) return SetError(GL_INVALID_ENUM);
    SetFog(pname, &param);
}

void Fogi(GLenum pname, GLint param)
{
    Fogf(pname, static_cast<GLfloat>(param));
}

void Fogfv(GLenum pname, const GLfloat* params)
{
    if (CompilingRefuses()) return;
    SetFog(pname, params);
}

void ActiveTexture(GLenum texture)
{
    if (CompilingRefuses()) return;
    const unsigned unit = texture - GL_TEXTURE0;
    if (unit >= TextureUnits) return SetError(GL_INVALID_ENUM);
    State.activeUnit = static_cast<int>(unit);
    glActiveTexture(texture);
}

void TexEnvi(GLenum target, GLenum pname, GLint param)
{
    if (CompilingRefuses()) return;
    SetTexEnv(target, pname, param, nullptr);
}

void TexEnvf(GLenum target, GLenum pname, GLfloat param)
{
    if (CompilingRefuses()) return;
    SetTexEnv(target, pname, static_cast<GLint>(param), &param);
}

void TexEnvfv(GLenum target, GLenum pname, const GLfloat* params)
{
    if (CompilingRefuses()) return;
    SetTexEnv(target, pname, static_cast<GLint>(params[0]), params);
}

void TexGenf(GLenum coord, GLenum pname, GLfloat param)
{
    if (CompilingRefuses()) return;
    // Sphere mapping is the generation the piece draws with.
    if ((coord != GL_S && coord != GL_T) || pname != GL_TEXTURE_GEN_MODE || static_cast<GLenum>(param) != GL_SPHERE_MAP)
        return SetError(GL_INVALID_ENUM);
    (coord == GL_S ? ActiveUnit().sphereMapS : ActiveUnit().sphereMapT) = true;
}

void ShadeModel(GLenum mode)
{
    if (CompilingRefuses()) return;
    // Smooth shading is the only one the piece draws with.
    if (mode != GL_SMOOTH) SetError(GL_INVALID_ENUM);
}

void Hint(GLenum target, GLenum mode)
{
    if (CompilingRefuses()) return;
    // Shaders interpolate with perspective correction whatever the hint says.
    if (target != GL_PERSPECTIVE_CORRECTION_HINT) SetError(GL_INVALID_ENUM);
    static_cast<void>(mode);
}

void PixelStorei(GLenum pname, GLint param)
{
    // Read-backs are made in the layer's own layout and packed into the caller's with this
    // alignment (an OpenGL ES driver reads back RGBA rows only).
    if (pname == GL_PACK_ALIGNMENT) {
        if (param != 1 && param != 2 && param != 4 && param != 8) return SetError(GL_INVALID_VALUE);
        State.packAlignment = param;
        return;
    }
    glPixelStorei(pname, param);
}

GLenum GetError()
{
    const GLenum layer = State.error;
    State.error = GL_NO_ERROR;
    const GLenum driver = glGetError();
    return layer != GL_NO_ERROR ? layer : driver;
}

void GetIntegerv(GLenum pname, GLint* data)
{
    switch (pname) {
    case GL_MATRIX_MODE: *data = static_cast<GLint>(State.matrixMode); break;
    case GL_PACK_ALIGNMENT: *data = State.packAlignment; break;
    case GL_ARRAY_BUFFER_BINDING: *data = static_cast<GLint>(State.arrayBuffer); break;
    case GL_ELEMENT_ARRAY_BUFFER_BINDING: *data = static_cast<GLint>(State.elementArrayBuffer); break;
    default: glGetIntegerv(pname, data); break;
    }
}

void GetFloatv(GLenum pname, GLfloat* data)
{
    switch (pname) {
    case GL_MODELVIEW_MATRIX: std::memcpy(data, State.modelview.Top().m, sizeof(Matrix::m)); break;
    case GL_PROJECTION_MATRIX: std::memcpy(data, State.projection.Top().m, sizeof(Matrix::m)); break;
    case GL_CURRENT_COLOR: std::copy_n(State.colour, 4, data); break;
    case GL_CURRENT_TEXTURE_COORDS: std::copy_n(ActiveUnit().texCoord, 4, data); break;
    case GL_CURRENT_NORMAL: std::copy_n(State.normal, 3, data); break;
    default: glGetFloatv(pname, data); break;
    }
}

} // namespace ffp
