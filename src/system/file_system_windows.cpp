// File calls on Windows: wide-character paths, handles checked for their type before use,
// MoveFileEx to replace a file in one step.
#include "system/file_system.h"

#include "system/utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// A C stream on a handle; the handle is the stream's from then on.
std::FILE* StreamOnHandle(HANDLE handle, int flags, const char* mode)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, mode);
    if (!file) _close(fd);
    return file;
}

} // namespace

PathKind KindOfPath(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(WidenUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
    return PathKind::File;
}

bool IsAbsolutePath(std::string_view path)
{
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
    return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

size_t LastPathSeparator(std::string_view path)
{
    return path.find_last_of("/\\:");
}

std::string FolderOfPath(const std::string& path)
{
    const size_t separator = LastPathSeparator(path);
    if (separator == std::string::npos) return ".";
    // "C:name" lies in drive C's working folder, "C:\name" and "\name" in a root.
    const bool root = separator == 0 || path[separator] == ':' || (separator == 2 && path[1] == ':');
    return path.substr(0, root ? separator + 1 : separator);
}

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(WidenUtf8((folder.empty() ? std::string(".") : folder) + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string found;
    do {
        const std::string entryName = NarrowToUtf8(entry.cFileName);
        if (EqualIgnoringCase(entryName, name)) {
            found = entryName;
            break;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

namespace {

// Why a new file could not be made, saying so when it is the folder that refuses.
std::string CreationFault(DWORD error)
{
    const bool folderRefuses = error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
    return (folderRefuses ? "its folder is not writable: " : "") + WindowsErrorText(error);
}

} // namespace

std::FILE* OpenRegularFile(const std::string& path, OpenFor purpose, std::string& fault, bool& missing)
{
    missing = false;
    const std::wstring wide = WidenUtf8(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fault = "cannot open (it is a directory)";
        return nullptr;
    }
    // Opening a device or a pipe does not wait; its type is checked on the handle.
    const bool reading = purpose == OpenFor::Reading;
    const HANDLE handle = CreateFileW(wide.c_str(), reading ? GENERIC_READ : FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      reading ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        const bool creating = !reading && attributes == INVALID_FILE_ATTRIBUTES && !missing;
        fault = creating  ? "cannot write (" + CreationFault(error) + ")"
                : missing ? std::string("cannot open (No such file or directory)")
                          : "cannot open (" + WindowsErrorText(error) + ")";
        return nullptr;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        fault = "cannot open (not a regular file)";
        return nullptr;
    }
    std::FILE* file = StreamOnHandle(handle, reading ? _O_RDONLY : _O_APPEND | _O_WRONLY, reading ? "rb" : "ab");
    if (!file) fault = "cannot open (out of memory)";
    return file;
}

std::FILE* CreateNewFile(const std::string& path, std::string& reason)
{
    const HANDLE handle = CreateFileW(WidenUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reason = CreationFault(GetLastError());
        return nullptr;
    }
    std::FILE* file = StreamOnHandle(handle, _O_WRONLY, "wb");
    if (!file) {
        DeleteFileW(WidenUtf8(path).c_str());
        reason = "out of memory";
    }
    return file;
}

bool FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

bool MoveOver(const std::string& from, const std::string& to, std::string& reason)
{
    if (MoveFileExW(WidenUtf8(from).c_str(), WidenUtf8(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    reason = WindowsErrorText(GetLastError());
    return false;
}

void RemoveFile(const std::string& path)
{
    DeleteFileW(WidenUtf8(path).c_str());
}

int PermissionBits(const std::string&)
{
    return -1;
}

void SetPermissionBits(const std::string&, int) {}

bool CanWriteInto(const std::string& folder, std::string& reason)
{
    const DWORD attributes = GetFileAttributesW(WidenUtf8(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return true;
    reason = attributes == INVALID_FILE_ATTRIBUTES ? WindowsErrorText(GetLastError()) : "read-only";
    return false;
}

std::string WorkingFolder()
{
    wchar_t folder[32768];
    const DWORD length = GetCurrentDirectoryW(32768, folder);
    return length > 0 && length < 32768 ? NarrowToUtf8(folder) : std::string(".");
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

unsigned long ProcessId()
{
    return GetCurrentProcessId();
}

std::tm LocalTime(std::time_t moment)
{
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}
