// Fuzzes the "geox.list" reader and the name filter that keys each entry's texture.
#include "base/error.h"
#include "resources/lum_geox.h"
#include "resources/lum_log.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LogEnabled = false; // the filter logs; a fuzz run writes no "loading.log"
    std::vector<std::string> entries;
    try {
        entries = ParseGeoxList(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz\\geox.list");
    } catch (const FatalError&) {
        return 0;
    }
    for (const std::string& entry : entries) {
        if (entry.empty()) __builtin_trap(); // an empty entry would name the folder itself
        for (const char c : FilterGeoxName(entry))
            if (c < 'a' || c > 'z') __builtin_trap();
    }
    return 0;
}
