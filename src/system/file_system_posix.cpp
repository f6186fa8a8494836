// File calls on POSIX: stat, open without blocking, rename into place, fsync.
#include "system/file_system.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

PathKind KindOfPath(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    if (S_ISDIR(info.st_mode)) return PathKind::Folder;
    return PathKind::Other;
}

bool IsAbsolutePath(std::string_view path)
{
    return !path.empty() && path[0] == '/';
}

size_t LastPathSeparator(std::string_view path)
{
    return path.rfind('/');
}

std::string FolderOfPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

namespace {

// Why a new file could not be made, saying so when it is the folder that refuses.
std::string CreationFault(int error)
{
    const bool folderRefuses = error == EACCES || error == EPERM || error == EROFS;
    return (folderRefuses ? "its folder is not writable: " : "") + ErrorText(error);
}

} // namespace

std::FILE* OpenRegularFile(const std::string& path, OpenFor purpose, std::string& fault, bool& missing)
{
    // Opened without waiting, so a FIFO or device in place of a file is refused at once
    // instead of blocking for ever; the type is checked on what was opened.
    missing = false;
    // What is plainly no file is refused by its name first: opening a FIFO for writing with no
    // reader would fail with a reason that hides what stands there.
    switch (KindOfPath(path)) {
    case PathKind::Folder: fault = "cannot open (it is a directory)"; return nullptr;
    case PathKind::Other: fault = "cannot open (not a regular file)"; return nullptr;
    default: break;
    }
    const int flags = purpose == OpenFor::Reading ? O_RDONLY : O_WRONLY | O_APPEND | O_CREAT;
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        missing = error == ENOENT;
        const bool creating = purpose == OpenFor::Appending && KindOfPath(path) == PathKind::Missing;
        fault = creating ? "cannot write (" + CreationFault(error) + ")" : "cannot open (" + ErrorText(error) + ")";
        return nullptr;
    }
    struct stat info {};
    const char* refusal = nullptr;
    if (::fstat(fd, &info) != 0) refusal = "cannot open (cannot read its type)";
    else if (S_ISDIR(info.st_mode)) refusal = "cannot open (it is a directory)";
    else if (!S_ISREG(info.st_mode)) refusal = "cannot open (not a regular file)";
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) refusal = "cannot open (cannot read it)";
    std::FILE* file = refusal ? nullptr : ::fdopen(fd, purpose == OpenFor::Reading ? "rb" : "ab");
    if (!file) {
        ::close(fd);
        fault = refusal ? refusal : "cannot open (out of memory)";
    }
    return file;
}

std::FILE* CreateNewFile(const std::string& path, std::string& reason)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = CreationFault(errno);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(path.c_str());
        reason = "out of memory";
    }
    return file;
}

bool FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool MoveOver(const std::string& from, const std::string& to, std::string& reason)
{
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    reason = ErrorText(errno);
    return false;
}

void RemoveFile(const std::string& path)
{
    ::unlink(path.c_str());
}

int PermissionBits(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

void SetPermissionBits(const std::string& path, int bits)
{
    if (bits >= 0) ::chmod(path.c_str(), static_cast<mode_t>(bits));
}

bool CanWriteInto(const std::string& folder, std::string& reason)
{
    if (::access(folder.c_str(), W_OK | X_OK) == 0) return true;
    reason = ErrorText(errno);
    return false;
}

std::string WorkingFolder()
{
    char folder[4096];
    return ::getcwd(folder, sizeof folder) ? std::string(folder) : std::string(".");
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

unsigned long ProcessId()
{
    return static_cast<unsigned long>(::getpid());
}

std::tm LocalTime(std::time_t moment)
{
    std::tm local{};
    ::localtime_r(&moment, &local);
    return local;
}
