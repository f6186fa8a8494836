// File calls on Windows: wide-character paths, handles checked for their type before use,
// MoveFileEx to replace a file in one step.
#include "system/file_system.h"

#include "system/file_calls.h"
#include "system/utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

const PathStyle SystemPathStyle = PathStyle::Windows;

namespace {

SystemFault FaultOf(DWORD error)
{
    return {WindowsErrorText(error), error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND,
            error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT};
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

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(WidenUtf8((folder.empty() ? std::string(".") : folder) + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string found;
    do {
        const std::string entryName = NarrowToUtf8(entry.cFileName);
        if (EqualIgnoringAsciiCase(entryName, name)) {
            found = entryName;
            break;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

std::FILE* OpenWithoutWaiting(const std::string& path, OpenFor purpose, OpenStep& step, SystemFault& fault)
{
    // Opening a device or a pipe does not wait; its type is checked on the handle.
    const bool reading = purpose == OpenFor::Reading;
    const HANDLE handle = CreateFileW(WidenUtf8(path).c_str(), reading ? GENERIC_READ : FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      reading ? OPEN_EXISTING : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        step = OpenStep::Failed;
        fault = FaultOf(GetLastError());
        return nullptr;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        step = OpenStep::NotRegularFile;
        return nullptr;
    }
    std::FILE* file = StreamOnHandle(handle, reading ? _O_RDONLY : _O_APPEND | _O_WRONLY, reading ? "rb" : "ab");
    step = file ? OpenStep::Opened : OpenStep::NoStream;
    return file;
}

std::FILE* CreateExclusively(const std::string& path, OpenStep& step, SystemFault& fault)
{
    const HANDLE handle = CreateFileW(WidenUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        step = OpenStep::Failed;
        fault = FaultOf(GetLastError());
        return nullptr;
    }
    std::FILE* file = StreamOnHandle(handle, _O_WRONLY, "wb");
    step = file ? OpenStep::Opened : OpenStep::NoStream;
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

std::string WorkingFolder()
{
    wchar_t folder[32768];
    const DWORD length = GetCurrentDirectoryW(32768, folder);
    return length > 0 && length < 32768 ? NarrowToUtf8(folder) : std::string(".");
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
