// lum_log: appends time-stamped lines to "loading.log" in the working folder. The file is
// opened and closed on every call so each line is on disk as soon as Log returns.
#include "resources/lum_log.h"

#include "base/error.h"
#include "base/files.h"
#include "base/warning.h"
#include "system/file_system.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

bool LogEnabled = true;

namespace {

constexpr const char* kLogFileName = "loading.log";

// Errors name the log by its whole path: the user sees which working folder was meant.
[[noreturn]] void ThrowLogError(const char* action)
{
    ThrowFileError(WorkingFolderPath(kLogFileName), StrFormat("cannot %s (%s)", action, ErrorText(errno).c_str()));
}

// Opens the log for appending, refusing anything but a regular file: a FIFO standing there
// would block the load for ever, and a device is nobody's log.
std::FILE* OpenLogFile()
{
    std::string fault;
    bool missing = false;
    std::FILE* file = OpenRegularFile(kLogFileName, OpenFor::Appending, fault, missing);
    if (!file) ThrowFileError(WorkingFolderPath(kLogFileName), fault);
    return file;
}

} // namespace

void Log(std::string_view message)
{
    if (!LogEnabled) return;

    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTime(now);
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
