// Fuzzes the texture-list reader: the private-profile parser, then the list's sections read
// the way LoadTextureList reads them.
#include "base/profile.h"
#include "resources/lum_textures.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PrivateProfile profile = PrivateProfile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    int previous = -1;
    for (const TextureListItem& item : ReadTextureListItems(profile, "fuzz.", "Data\\fuzz\\")) {
        // Sections come in increasing order, each name carries the prefix, each file the folder.
        if (item.section <= previous || item.section >= kTextureLibraryCapacity) __builtin_trap();
        if (item.name.rfind("fuzz.", 0) != 0 || item.file.rfind("Data\\fuzz\\", 0) != 0) __builtin_trap();
        previous = item.section;
    }
    return 0;
}
