// Paths as text, by the rules of either system.
#include "system/path_text.h"

bool IsAbsolutePath(std::string_view path, PathStyle style)
{
    if (!path.empty() && (path[0] == '/' || (style == PathStyle::Windows && path[0] == '\\'))) return true;
    return style == PathStyle::Windows && path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

size_t LastPathSeparator(std::string_view path, PathStyle style)
{
    return path.find_last_of(style == PathStyle::Windows ? "/\\:" : "/");
}

std::string FolderOfPath(const std::string& path, PathStyle style)
{
    const size_t separator = LastPathSeparator(path, style);
    if (separator == std::string::npos) return ".";
    // "C:name" lies in drive C's working folder, "C:\name", "\name" and "/name" in a root.
    const bool drive = style == PathStyle::Windows && (path[separator] == ':' || (separator == 2 && path[1] == ':'));
    const bool root = separator == 0 || drive;
    return path.substr(0, root ? separator + 1 : separator);
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}
