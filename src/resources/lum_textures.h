// lum_textures: image files to OpenGL textures, and the library of named textures that
// the scenes bind by name. JPEG (plain or ".packed"), 32-bit and 24-bit BMP; alpha from a
// second grey image; "textures.ini" lists read with private-profile semantics.
#pragma once

#include "base/profile.h"
#include "gl/gl.h"
#include "resources/image_readers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr int kTextureLibraryCapacity = 1000;
constexpr int kTextureNameLength = 32;

struct TextureLibrary {
    int32_t count = 0;
    GLuint ids[kTextureLibraryCapacity] = {};
    char names[kTextureLibraryCapacity][kTextureNameLength + 1] = {};
};

void ClearTextureLibrary(TextureLibrary& library);
// Stores the name cut to 32 characters; a 1001st entry raises FatalError.
void AddTexture(TextureLibrary& library, std::string_view name, GLuint id);
// The id of the earliest entry with exactly this name, or 0.
GLuint FindTexture(const TextureLibrary& library, std::string_view name);
// Sees every name FindTexture is asked for, found or not (nullptr: nobody watches). The data
// check's table of the names scenes bind is proved complete against a real start-up this way.
using TextureLookupObserver = void (*)(std::string_view name);
void SetTextureLookupObserver(TextureLookupObserver observer);
// Enables GL_TEXTURE_2D and binds FindTexture(name) (0 when absent).
void BindTexture(const TextureLibrary& library, std::string_view name);
// The same with the name looked up beforehand: scenes resolve their textures at load and
// bind the ids they keep, so no frame searches the library.
void BindTextureId(GLuint texture);

GLuint LoadTexture(std::string_view path, GLenum magFilter, GLenum minFilter);
GLuint LoadAlphaTexture(std::string_view colourPath, std::string_view alphaPath, GLenum magFilter,
                        GLenum minFilter);
// Loads and adds every texture of the list. A list that is missing, cannot be read (a
// folder, a FIFO ...) or names no texture loads nothing, with a warning naming it; a name
// longer than kTextureNameLength is warned about (it is stored cut and cannot be found).
void LoadTextureList(TextureLibrary& library, std::string_view prefix, std::string_view listPath,
                     std::string_view folder);

// The loaders' pictures before they become textures (no GL): what the data check reads.
// An image file as LoadTexture decodes it (BMP, JPEG or packed JPEG by its name).
DecodedImage ReadTextureImage(std::string_view path);
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width x height x 4 bytes, row 0 the top row
};
// The pixels LoadAlphaTexture uploads: the colour image with the alpha image's blue byte as
// alpha; FatalError naming the alpha file when the two sizes differ.
RgbaImage ReadAlphaTexturePixels(std::string_view colourPath, std::string_view alphaPath);

// One texture of a list, as its section describes it (before the cached and packed
// variants are looked for).
struct TextureListItem {
    int section = 0;        // n of its section "texture<n>"
    std::string name;       // prefix + "name" (default "noname"), not yet cut to 32 characters
    std::string file;       // folder + "filename" (default "name" + ".jpg", "!.jpg" without a name)
    std::string alpha;      // folder + "filenamealpha" (default "@@@")
    bool hasAlpha = false;  // the alpha path differs from folder + "@@@"
    GLenum magFilter = GL_LINEAR;
    GLenum minFilter = GL_LINEAR_MIPMAP_LINEAR;
};

// The textures a parsed list names, in section order: sections texture0 .. texture999 that
// hold a key.
std::vector<TextureListItem> ReadTextureListItems(const PrivateProfile& list, std::string_view prefix,
                                                 std::string_view folder);

// The image files an entry loads: a cached BMP beside an image replaces it, and a packed file
// beside that replaces both. An entry with neither "filename" nor "name" shows
// "error in texture <file>" (its file name then holds "!").
struct TextureListFiles {
    std::string colour;
    std::string alpha; // empty when the entry has no alpha map
};
TextureListFiles ResolveTextureListFiles(const TextureListItem& item);

// Images larger on each side, for pictures drawn large: "<data>\<scale>x\<rest>" for a file
// "<data>\<rest>", each with its own cached and packed variants. The files of that kind at that
// scale (one of LargerImageScales'), when the data has one for every image of them (colour and
// alpha alike); nullopt otherwise.
std::optional<TextureListFiles> LargerImageFiles(const TextureListFiles& files, int scale);
// The files to load for the picture's size: the largest versions of LargerImageScales that the
// picture's rows call for and the data has (4x from 1440 rows, else 2x from 720); otherwise the
// files themselves.
TextureListFiles FilesForPicture(const TextureListFiles& files);

GLuint CreateEmptyTexture(int width, int height);

// A sampler object with these filters. Bound to a texture unit (glBindSampler) it filters
// whatever texture is bound there in its place, leaving the texture's own filters alone;
// sampler names are apart from texture names.
GLuint CreateSampler(GLenum magFilter, GLenum minFilter);
