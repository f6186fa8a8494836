// lum_log: appends time-stamped lines to "loading.log" in the working folder. The file is
// opened and closed on every call so each line is on disk as soon as Log returns.
#include "resources/lum_log.h"

#include "base/error.h"
#include "base/files.h"
#include "base/output_file.h"
#include "base/warning.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

bool LogEnabled = true;

namespace {

constexpr const char* kLogFileName = "loading.log";

// Errors name the log by its whole path: the user sees which working folder was meant.
[[noreturn]] void ThrowLogError(const char* action)
{
    ThrowFileError(WorkingFolderPath(kLogFileName), StrFormat("cannot %s (%s)", action, std::strerror(errno)));
}

// Opens the log for appending, refusing anything but a regular file: a FIFO standing there
// would block the load for ever, and a device is nobody's log.
std::FILE* OpenLogFile()
{
    struct stat info {};
    const bool exists = ::stat(kLogFileName, &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) ThrowFileError(WorkingFolderPath(kLogFileName), "cannot open (not a regular file)");
    const int fd = ::open(kLogFileName, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0 && !exists) ThrowFileError(WorkingFolderPath(kLogFileName), CannotCreateFault(errno));
    if (fd < 0) ThrowLogError("open");
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        ThrowFileError(WorkingFolderPath(kLogFileName), "cannot open (not a regular file)");
    }
    std::FILE* file = ::fdopen(fd, "ab");
    if (!file) {
        ::close(fd);
        ThrowLogError("open");
    }
    return file;
}

} // namespace

void Log(std::string_view message)
{
    if (!LogEnabled) return;

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);

    std::FILE* file = OpenLogFile();
    const bool written = std::fprintf(file, "%s : ", stamp) >= 0 &&
                         std::fwrite(message.data(), 1, message.size(), file) == message.size() &&
                         std::fputs("\r\n", file) >= 0;
    const int savedErrno = errno;
    if (std::fclose(file) != 0) ThrowLogError("close");
    if (!written) {
        errno = savedErrno;
        ThrowLogError("write");
    }
}

void LogWarning(std::string_view file, std::string_view fault)
{
    Log("warning: " + std::string(file) + ": " + std::string(fault));
    Warn(file, fault);
}
