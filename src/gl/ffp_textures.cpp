// Textures and read-backs on the layer: what the layer knows of each texture (the sizes of its
// levels, its filter), which OpenGL ES and WebGL cannot be asked, and the read-backs of frames
// and texture levels in the formats the piece asks for, made from the RGBA rows every driver
// reads back.
#include "gl/driver_gl.h"
#include "gl/ffp.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ffp {

namespace {

constexpr int MaxLevels = 16;

struct TextureInfo {
    GLsizei width[MaxLevels] = {};
    GLsizei height[MaxLevels] = {};
    GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
};

// Indexed by texture name (drivers hand out small consecutive names); grown when a texture
// gets its first image, at load.
std::vector<TextureInfo> g_textures;
// The minifying filter of each sampler object, by name.
std::vector<GLint> g_samplerMinFilters;

// RGBA rows as the driver reads them back, before they are packed into the caller's format;
// grown to the largest read-back so far.
std::vector<uint8_t> g_readBack;
GLuint g_readFramebuffer = 0;

TextureInfo* Texture(GLuint name)
{
    return name < g_textures.size() ? &g_textures[name] : nullptr;
}

bool Mipmapped(GLint filter)
{
    return filter != GL_NEAREST && filter != GL_LINEAR;
}

int ComponentsOf(GLenum format)
{
    switch (format) {
    case GL_RGBA: return 4;
    case GL_RGB: return 3;
    case GL_ALPHA: return 1;
    default: return 0;
    }
}

// The RGBA rows in g_readBack (width x height) into `pixels` as `format` bytes, each row
// padded to the pack alignment.
void PackReadBack(GLsizei width, GLsizei height, GLenum format, void* pixels)
{
    const int components = ComponentsOf(format);
    const size_t alignment = static_cast<size_t>(State.packAlignment);
    const size_t rowBytes = (static_cast<size_t>(width) * components + alignment - 1) / alignment * alignment;
    auto* out = static_cast<uint8_t*>(pixels);
    for (GLsizei y = 0; y < height; ++y) {
        const uint8_t* in = &g_readBack[static_cast<size_t>(y) * width * 4];
        uint8_t* row = out + static_cast<size_t>(y) * rowBytes;
        if (format == GL_RGBA) {
            std::memcpy(row, in, static_cast<size_t>(width) * 4);
            continue;
        }
        for (GLsizei x = 0; x < width; ++x, in += 4)
            if (format == GL_RGB) {
                *row++ = in[0];
                *row++ = in[1];
                *row++ = in[2];
            } else {
                *row++ = in[3];
            }
    }
}

// Reads width x height RGBA pixels of the framebuffer bound for reading into g_readBack.
bool ReadBackRgba(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type)
{
    if (type != GL_UNSIGNED_BYTE || ComponentsOf(format) == 0 || width < 0 || height < 0) {
        SetError(GL_INVALID_ENUM);
        return false;
    }
    g_readBack.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, g_readBack.data());
    return true;
}

} // namespace

bool UnitSamples(int unit)
{
    const TextureUnit& textureUnit = State.units[unit];
    if (!textureUnit.texture2D) return false;
    const TextureInfo* texture = Texture(textureUnit.boundTexture);
    if (!texture || texture->width[0] == 0) return false;
    GLint filter = texture->minFilter;
    if (textureUnit.boundSampler != 0 && textureUnit.boundSampler < g_samplerMinFilters.size())
        filter = g_samplerMinFilters[textureUnit.boundSampler];
    if (!Mipmapped(filter)) return true;
    // A mipmapped filter reads every level down to 1 x 1.
    GLsizei width = texture->width[0], height = texture->height[0];
    for (int level = 1; width > 1 || height > 1; ++level) {
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
        if (level >= MaxLevels || texture->width[level] != width || texture->height[level] != height) return false;
    }
    return true;
}

void ForgetTextures()
{
    g_textures.clear();
    g_samplerMinFilters.clear();
    g_readFramebuffer = 0;
}

void BindTexture(GLenum target, GLuint texture)
{
    if (CompilingRefuses()) return;
    if (target != GL_TEXTURE_2D) return SetError(GL_INVALID_ENUM);
    State.units[State.activeUnit].boundTexture = texture;
    glBindTexture(target, texture);
}

void TexParameteri(GLenum target, GLenum pname, GLint param)
{
    glTexParameteri(target, pname, param);
    const GLuint bound = State.units[State.activeUnit].boundTexture;
    if (pname != GL_TEXTURE_MIN_FILTER) return;
    if (bound >= g_textures.size()) g_textures.resize(bound + 1);
    g_textures[bound].minFilter = param;
}

void TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                GLenum format, GLenum type, const void* pixels)
{
    // OpenGL ES and core profiles take sized formats only where the piece names components.
    GLint sized = internalformat;
    if (internalformat == 3 || internalformat == GL_RGB) sized = GL_RGB8;
    if (internalformat == 4 || internalformat == GL_RGBA) sized = GL_RGBA8;
    if (level < 0 || level >= MaxLevels) return SetError(GL_INVALID_VALUE);
    glTexImage2D(target, level, sized, width, height, border, format, type, pixels);
    const GLuint bound = State.units[State.activeUnit].boundTexture;
    if (bound >= g_textures.size()) g_textures.resize(bound + 1);
    g_textures[bound].width[level] = width;
    g_textures[bound].height[level] = height;
}

void GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params)
{
    const TextureInfo* texture = Texture(State.units[State.activeUnit].boundTexture);
    if (target != GL_TEXTURE_2D || (pname != GL_TEXTURE_WIDTH && pname != GL_TEXTURE_HEIGHT))
        return SetError(GL_INVALID_ENUM);
    if (level < 0 || level >= MaxLevels) return SetError(GL_INVALID_VALUE);
    *params = !texture ? 0 : pname == GL_TEXTURE_WIDTH ? texture->width[level] : texture->height[level];
}

void GetTexImage(GLenum target, GLint level, GLenum format, GLenum type, void* pixels)
{
    // The level is attached to a framebuffer of the layer's and read back from there.
    const GLuint bound = State.units[State.activeUnit].boundTexture;
    const TextureInfo* texture = Texture(bound);
    if (target != GL_TEXTURE_2D || level < 0 || level >= MaxLevels) return SetError(GL_INVALID_VALUE);
    if (!texture || texture->width[level] == 0) return;
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    if (g_readFramebuffer == 0) glGenFramebuffers(1, &g_readFramebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g_readFramebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, bound, level);
    const GLsizei width = texture->width[level], height = texture->height[level];
    if (ReadBackRgba(0, 0, width, height, format, type)) PackReadBack(width, height, format, pixels);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    if (ReadBackRgba(x, y, width, height, format, type)) PackReadBack(width, height, format, pixels);
}

void BindSampler(GLuint unit, GLuint sampler)
{
    if (unit >= TextureUnits) return SetError(GL_INVALID_VALUE);
    State.units[unit].boundSampler = sampler;
    glBindSampler(unit, sampler);
}

void SamplerParameteri(GLuint sampler, GLenum pname, GLint param)
{
    glSamplerParameteri(sampler, pname, param);
    if (pname != GL_TEXTURE_MIN_FILTER) return;
    if (sampler >= g_samplerMinFilters.size()) g_samplerMinFilters.resize(sampler + 1, GL_NEAREST_MIPMAP_LINEAR);
    g_samplerMinFilters[sampler] = param;
}

} // namespace ffp
