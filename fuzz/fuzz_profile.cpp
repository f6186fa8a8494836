// Fuzzes the private-profile reader the way a texture list uses it: section names as the
// list loader asks for them, and their four keys.
#include "base/profile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PrivateProfile profile = PrivateProfile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int i = 0; i < 100; ++i) {
        const std::string section = "texture" + std::to_string(i);
        if (!profile.SectionExists(section)) continue;
        profile.ReadString(section, "name", "noname");
        profile.ReadString(section, "filename", "!.jpg");
        profile.ReadString(section, "filenamealpha", "@@@");
        profile.ReadInteger(section, "filter", 0);
    }
    return 0;
}
