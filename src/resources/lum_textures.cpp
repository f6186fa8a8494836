// lum_textures: the library of named textures, the image loaders that make textures with
// mipmaps, and the "textures.ini" list reader. Image files are read by the readers of
// image_readers.h; ".packed" images go through UnpackBuffer first.
#include "resources/lum_textures.h"

#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "base/picture_size.h"
#include "base/profile.h"
#include "resources/image_readers.h"
#include "resources/lum_log.h"
#include "resources/norvikpack.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr std::string_view kCachedSuffix = ".cashed.bmp";
constexpr std::string_view kPackedSuffix = ".packed";
constexpr std::string_view kNoAlpha = "@@@";

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

TextureLookupObserver g_lookupObserver = nullptr;

// RGB rows of any width are tightly packed; GL's default unpack alignment is 4.
class ByteAlignedUnpack {
public:
    ByteAlignedUnpack()
    {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &m_previous);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~ByteAlignedUnpack() { glPixelStorei(GL_UNPACK_ALIGNMENT, m_previous); }
    ByteAlignedUnpack(const ByteAlignedUnpack&) = delete;
    ByteAlignedUnpack& operator=(const ByteAlignedUnpack&) = delete;

private:
    GLint m_previous = 4;
};

GLuint NewBoundTexture(GLenum magFilter, GLenum minFilter)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    return id;
}

void BuildMipmaps(std::string_view path, GLint components, int width, int height, GLenum format,
                  const uint8_t* pixels)
{
    const ByteAlignedUnpack alignment;
    const GLint result =
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels);
    if (result != 0)
        ThrowFileError(path, StrFormat("cannot build mipmaps (%s)",
                                       reinterpret_cast<const char*>(gluErrorString(static_cast<GLenum>(result)))));
}

// How many of an RGBA image's texels have an alpha that passes the scenes' alpha test
// (GL_GREATER 0.5): the part of a cut-out shape that shows.
constexpr unsigned kAlphaTestLevel = 128; // the least byte above 0.5

size_t TexelsShown(const std::vector<uint8_t>& rgba)
{
    size_t shown = 0;
    for (size_t i = 3; i < rgba.size(); i += 4) shown += rgba[i] >= kAlphaTestLevel;
    return shown;
}

// Moves the alpha of an RGBA image so that, as near as whole bytes allow, `wanted` of its
// texels pass the alpha test: the least alpha among the `wanted` highest is brought to the
// test's level, the alphas below it and above it stretched linearly between that and 0 or 255,
// so clear and opaque texels stay as they are. Nothing changes when no texel may pass, or none
// can.
void MoveAlphaToShow(std::vector<uint8_t>& rgba, size_t wanted)
{
    size_t count[256] = {};
    for (size_t i = 3; i < rgba.size(); i += 4) ++count[rgba[i]];
    size_t atLeast = 0;
    int least = 256;
    while (least > 0 && atLeast < wanted) atLeast += count[--least];
    if (wanted == 0 || least == 0) return;
    // Between `least - 1`, which fails after the move, and `least`, which passes.
    const float from = static_cast<float>(least) - 0.5f, to = kAlphaTestLevel - 0.5f;
    uint8_t moved[256];
    for (int a = 0; a < 256; ++a) {
        const float alpha = static_cast<float>(a);
        const float value = alpha <= from ? alpha * to / from : to + (alpha - from) * (255.0f - to) / (255.0f - from);
        moved[a] = static_cast<uint8_t>(std::lround(value));
    }
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = moved[rgba[i]];
}

// Distant cut-out shapes (leaves, grass, trees) keep their size: each mipmap level's alpha is
// moved so that the share of its texels passing the alpha test is the full-size image's.
// Averaging alpha into smaller levels otherwise wears the thin parts of a shape below the
// test's level, and leaves thin out and vanish with distance. The colours stay the builder's.
// Every RGBA texture is treated so (the loader cannot tell a cut-out from a blended picture);
// clear and opaque texels keep their alpha, so a blended one (the sign's plate) hardly changes.
void KeepAlphaCoverageOfMipmaps()
{
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    // RGBA rows are whole multiples of every pack and unpack alignment.
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const double share = static_cast<double>(TexelsShown(rgba)) / static_cast<double>(rgba.size() / 4);
    for (GLint level = 1; width > 1 || height > 1; ++level) {
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
        rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        MoveAlphaToShow(rgba, static_cast<size_t>(std::lround(share * static_cast<double>(width * height))));
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
}

// A cached BMP beside the image replaces it, and a packed file beside that replaces both.
// Whatever stands at a variant's name is taken, so a folder or FIFO there is refused by the
// reader under its own name instead of sending it to a file the user never meant.
std::string ApplyVariants(std::string path)
{
    if (PathExists(path + std::string(kCachedSuffix))) path += kCachedSuffix;
    if (PathExists(path + std::string(kPackedSuffix))) path += kPackedSuffix;
    return path;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A file's larger image with its own variants, when the data has one: the folder "<scale>x"
// inserted after the path's first component (the data folder), and the variants the file was
// found with taken off, so that a larger image may be stored otherwise than its base.
std::optional<std::string> LargerImage(std::string path, int scale)
{
    if (EndsWith(path, kPackedSuffix)) path.resize(path.size() - kPackedSuffix.size());
    if (EndsWith(path, kCachedSuffix)) path.resize(path.size() - kCachedSuffix.size());
    const size_t slash = path.find_first_of("\\/");
    if (slash == std::string::npos) return std::nullopt;
    const std::string larger =
        ApplyVariants(path.substr(0, slash + 1) + std::to_string(scale) + "x" + path.substr(slash));
    if (!PathExists(larger)) return std::nullopt;
    return larger;
}

// The list file's contents; nothing, with a warning naming it, for a list that is missing
// or cannot be read (it then loads as an empty list).
std::optional<PrivateProfile> ReadTextureListFile(std::string_view listPath)
{
    if (!PathExists(listPath)) {
        LogWarning(listPath, "texture list is missing; no textures are loaded from it");
        return std::nullopt;
    }
    try {
        const std::vector<unsigned char> bytes = ReadFileBytes(listPath);
        return PrivateProfile::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const FileError& error) {
        LogWarning(listPath, error.Fault() + "; no textures are loaded from it");
        return std::nullopt;
    }
}

void FiltersForMode(int32_t mode, GLenum& magFilter, GLenum& minFilter)
{
    switch (mode) {
    case 1:
        magFilter = GL_NEAREST;
        minFilter = GL_NEAREST;
        break;
    case 2:
        magFilter = GL_LINEAR;
        minFilter = GL_LINEAR;
        break;
    default:
        magFilter = GL_LINEAR;
        minFilter = GL_LINEAR_MIPMAP_LINEAR;
        break;
    }
}

} // namespace

void ClearTextureLibrary(TextureLibrary& library)
{
    library.count = 0;
}

void AddTexture(TextureLibrary& library, std::string_view name, GLuint id)
{
    if (library.count >= kTextureLibraryCapacity)
        throw FatalError(StrFormat("texture library full: cannot add \"%.*s\" after %d textures",
                                   static_cast<int>(name.size()), name.data(), kTextureLibraryCapacity));
    const size_t length = std::min(name.size(), static_cast<size_t>(kTextureNameLength));
    char* stored = library.names[library.count];
    std::memcpy(stored, name.data(), length);
    stored[length] = '\0';
    library.ids[library.count] = id;
    ++library.count;
}

GLuint FindTexture(const TextureLibrary& library, std::string_view name)
{
    if (g_lookupObserver) g_lookupObserver(name);
    if (name.size() > static_cast<size_t>(kTextureNameLength)) return 0;
    for (int i = 0; i < library.count; ++i)
        if (std::string_view(library.names[i]) == name) return library.ids[i];
    return 0;
}

void SetTextureLookupObserver(TextureLookupObserver observer)
{
    g_lookupObserver = observer;
}

void BindTexture(const TextureLibrary& library, std::string_view name)
{
    BindTextureId(FindTexture(library, name));
}

void BindTextureId(GLuint texture)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
}

GLuint LoadTexture(std::string_view path, GLenum magFilter, GLenum minFilter)
{
    Log(path);
    const DecodedImage image = ReadTextureImage(path);
    const GLuint id = NewBoundTexture(magFilter, minFilter);
    BuildMipmaps(path, 3, image.width, image.height, GL_RGB, image.rgb.data());
    return id;
}

GLuint LoadAlphaTexture(std::string_view colourPath, std::string_view alphaPath, GLenum magFilter,
                        GLenum minFilter)
{
    Log(std::string(colourPath) + " + " + std::string(alphaPath));
    const RgbaImage image = ReadAlphaTexturePixels(colourPath, alphaPath);
    const GLuint id = NewBoundTexture(magFilter, minFilter);
    BuildMipmaps(colourPath, GL_RGBA, image.width, image.height, GL_RGBA, image.rgba.data());
    KeepAlphaCoverageOfMipmaps();
    return id;
}

std::vector<TextureListItem> ReadTextureListItems(const PrivateProfile& list, std::string_view prefix,
                                                 std::string_view folder)
{
    std::vector<TextureListItem> items;
    const std::string folderText(folder);
    for (int i = 0; i < kTextureLibraryCapacity; ++i) {
        const std::string section = "texture" + std::to_string(i);
        if (!list.SectionExists(section)) continue;
        TextureListItem item;
        item.section = i;
        item.file = folderText + list.ReadString(section, "filename", list.ReadString(section, "name", "!") + ".jpg");
        item.alpha = folderText + list.ReadString(section, "filenamealpha", kNoAlpha);
        item.hasAlpha = item.alpha != folderText + std::string(kNoAlpha);
        FiltersForMode(list.ReadInteger(section, "filter", 0), item.magFilter, item.minFilter);
        item.name = std::string(prefix) + list.ReadString(section, "name", "noname");
        items.push_back(std::move(item));
    }
    return items;
}

TextureListFiles ResolveTextureListFiles(const TextureListItem& item)
{
    if (Contains(item.file, "!")) ShowMessageBox("error in texture " + item.file, "Error");
    TextureListFiles files;
    files.colour = ApplyVariants(item.file);
    if (item.hasAlpha) files.alpha = ApplyVariants(item.alpha);
    return files;
}

std::optional<TextureListFiles> LargerImageFiles(const TextureListFiles& files, int scale)
{
    TextureListFiles larger;
    const std::optional<std::string> colour = LargerImage(files.colour, scale);
    if (!colour) return std::nullopt;
    larger.colour = *colour;
    if (!files.alpha.empty()) {
        const std::optional<std::string> alpha = LargerImage(files.alpha, scale);
        if (!alpha) return std::nullopt;
        larger.alpha = *alpha;
    }
    return larger;
}

TextureListFiles FilesForPicture(const TextureListFiles& files)
{
    for (const LargerImages& larger : LargerImageScales)
        if (PictureSize().height >= larger.rows)
            if (const std::optional<TextureListFiles> found = LargerImageFiles(files, larger.scale)) return *found;
    return files;
}

void LoadTextureList(TextureLibrary& library, std::string_view prefix, std::string_view listPath,
                     std::string_view folder)
{
    const std::optional<PrivateProfile> list = ReadTextureListFile(listPath);
    if (!list) return;
    const std::vector<TextureListItem> items = ReadTextureListItems(*list, prefix, folder);
    if (items.empty()) LogWarning(listPath, "lists no textures (no section texture0 to texture999 with a key)");
    for (const TextureListItem& item : items) {
        if (library.count >= kTextureLibraryCapacity)
            ThrowFileError(listPath, StrFormat("texture%d would be texture %d; the library holds %d", item.section,
                                               kTextureLibraryCapacity + 1, kTextureLibraryCapacity));
        const TextureListFiles files = FilesForPicture(ResolveTextureListFiles(item));
        // Stored cut to 32 characters, the name can never be found by its full text.
        if (item.name.size() > static_cast<size_t>(kTextureNameLength))
            LogWarning(listPath, StrFormat("texture%d: the name \"%s\" is longer than %d characters; no scene can "
                                           "find it by that name", item.section, item.name.c_str(), kTextureNameLength));
        GLuint id = 0;
        try {
            id = item.hasAlpha ? LoadAlphaTexture(files.colour, files.alpha, item.magFilter, item.minFilter)
                               : LoadTexture(files.colour, item.magFilter, item.minFilter);
        } catch (const FileError& error) {
            // The image is named; the list that names it is where to look next.
            throw FileError(error.File(),
                            error.Fault() + StrFormat(" (texture%d of %.*s)", item.section,
                                                      static_cast<int>(listPath.size()), listPath.data()));
        }
        AddTexture(library, item.name, id);
    }
}

DecodedImage ReadTextureImage(std::string_view path)
{
    if (Contains(path, ".bmp")) return ReadBmpFile(path);
    if (!Contains(path, kPackedSuffix)) return ReadJpegFile(path);
    return DecodeUnpackedJpeg(UnpackFile(path), path);
}

RgbaImage ReadAlphaTexturePixels(std::string_view colourPath, std::string_view alphaPath)
{
    const DecodedImage colour = ReadTextureImage(colourPath);
    const size_t pixelCount = static_cast<size_t>(colour.width) * static_cast<size_t>(colour.height);
    RgbaImage image;
    image.width = colour.width;
    image.height = colour.height;
    image.rgba.resize(pixelCount * 4);
    for (size_t i = 0; i < pixelCount; ++i) {
        image.rgba[i * 4 + 0] = colour.rgb[i * 3 + 0];
        image.rgba[i * 4 + 1] = colour.rgb[i * 3 + 1];
        image.rgba[i * 4 + 2] = colour.rgb[i * 3 + 2];
    }
    const DecodedImage alpha = ReadTextureImage(alphaPath);
    if (alpha.width != colour.width || alpha.height != colour.height)
        ThrowFileError(alphaPath, StrFormat("alpha image is %d x %d but its colour image %.*s is %d x %d",
                                            alpha.width, alpha.height, static_cast<int>(colourPath.size()),
                                            colourPath.data(), colour.width, colour.height));
    // The alpha is the blue byte of the alpha image: its grey level for a grey image.
    for (size_t i = 0; i < pixelCount; ++i) image.rgba[i * 4 + 3] = alpha.rgb[i * 3 + 2];
    return image;
}

GLuint CreateEmptyTexture(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
        throw FatalError(StrFormat("CreateEmptyTexture: invalid size %d x %d", width, height));
    const std::vector<uint8_t> black(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    const GLuint id = NewBoundTexture(GL_LINEAR, GL_LINEAR);
    const ByteAlignedUnpack alignment;
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());
    return id;
}

GLuint CreateSampler(GLenum magFilter, GLenum minFilter)
{
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    return sampler;
}
