// The warning hook and its stderr default.
#include "base/warning.h"

#include <cstdio>

namespace {

WarningHandler g_handler;

} // namespace

void Warn(std::string_view file, std::string_view fault)
{
    if (g_handler) {
        g_handler(file, fault);
        return;
    }
    std::fprintf(stderr, "warning: %.*s: %.*s\n", static_cast<int>(file.size()), file.data(),
                 static_cast<int>(fault.size()), fault.data());
}

WarningHandler SetWarningHandler(WarningHandler handler)
{
    WarningHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}
