// File calls on POSIX: stat, open without blocking, rename into place, fsync.
#include "system/file_system.h"

#include "system/file_calls.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const PathStyle SystemPathStyle = PathStyle::Posix;

namespace {

SystemFault FaultOf(int error)
{
    return {ErrorText(error), error == ENOENT, error == EACCES || error == EPERM || error == EROFS};
}

} // namespace

PathKind KindOfPath(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    if (S_ISDIR(info.st_mode)) return PathKind::Folder;
    return PathKind::Other;
}

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (EqualIgnoringAsciiCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::FILE* OpenWithoutWaiting(const std::string& path, OpenFor purpose, OpenStep& step, SystemFault& fault)
{
    // Opened without waiting, so a FIFO or device in place of a file is refused at once
    // instead of blocking for ever; the type is checked on what was opened.
    const int flags = purpose == OpenFor::Reading ? O_RDONLY : O_WRONLY | O_APPEND | O_CREAT;
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        step = OpenStep::Failed;
        fault = FaultOf(errno);
        return nullptr;
    }
    struct stat info {};
    step = OpenStep::Opened;
    if (::fstat(fd, &info) != 0) step = OpenStep::TypeUnreadable;
    else if (S_ISDIR(info.st_mode)) step = OpenStep::Folder;
    else if (!S_ISREG(info.st_mode)) step = OpenStep::NotRegularFile;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) step = OpenStep::BlockingStays;
    std::FILE* file = step == OpenStep::Opened ? ::fdopen(fd, purpose == OpenFor::Reading ? "rb" : "ab") : nullptr;
    if (!file) {
        ::close(fd);
        if (step == OpenStep::Opened) step = OpenStep::NoStream;
    }
    return file;
}

std::FILE* CreateExclusively(const std::string& path, OpenStep& step, SystemFault& fault)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        step = OpenStep::Failed;
        fault = FaultOf(errno);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) ::close(fd);
    step = file ? OpenStep::Opened : OpenStep::NoStream;
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
