// lum_log: appends time-stamped lines to "loading.log" in the working folder. The file is
// opened and closed on every call so each line is on disk as soon as Log returns.
#include "resources/lum_log.h"

#include "base/error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

bool LogEnabled = true;

namespace {

constexpr const char* kLogFileName = "loading.log";

[[noreturn]] void ThrowLogError(const char* action)
{
    ThrowFileError(kLogFileName, StrFormat("cannot %s (%s)", action, std::strerror(errno)));
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

    std::FILE* file = std::fopen(kLogFileName, "ab");
    if (!file) ThrowLogError("open");
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
