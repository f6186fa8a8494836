// Paths as text, by the rules of either system, so that both are tested wherever the tests run:
// separators, roots and the folder part of a path. No system calls.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// POSIX paths have "/" alone; Windows paths take "\" as well, drive letters ("C:") and
// shares ("\\server\x").
enum class PathStyle { Posix, Windows };
// The style of the system this program runs on (set in its file_system_<system>.cpp).
extern const PathStyle SystemPathStyle;

// True when the path starts at a root: "/x"; in the Windows style also "\x", "C:\x", "C:/x" and
// "\\server\x".
bool IsAbsolutePath(std::string_view path, PathStyle style);
// Where the folder part of a path ends: its last separator ("/"; in the Windows style also "\"
// and a drive's ":"), or npos when it has none.
size_t LastPathSeparator(std::string_view path, PathStyle style);
// The folder a path names a file in: "." when it names none, the root with its separator
// ("/", "C:\") where the file lies there, "C:" for "C:name" (drive C's working folder).
std::string FolderOfPath(const std::string& path, PathStyle style);

// True when the two names are equal without regard to ASCII case.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
