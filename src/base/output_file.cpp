// Whole-or-nothing output files.
#include "base/output_file.h"

#include "base/error.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<unsigned> g_serial{0};

// "<folder>/.<name>.part-<pid>-<n>": hidden, beside the target, unique in this process.
std::string TemporaryNameFor(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(g_serial++);
}

} // namespace

std::string CannotCreateFault(int error)
{
    if (error == EACCES || error == EPERM || error == EROFS)
        return StrFormat("cannot write (its folder is not writable: %s)", std::strerror(error));
    return StrFormat("cannot write (%s)", std::strerror(error));
}

int CheckOutputPath(const std::string& path)
{
    if (path.empty() || path.back() == '/') ThrowFileError(path, "cannot write (not a file name)");
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        if (::stat(folder.c_str(), &target) != 0 || !S_ISDIR(target.st_mode))
            ThrowFileError(path, "cannot write (its folder does not exist)");
        return -1;
    }
    if (S_ISDIR(target.st_mode)) ThrowFileError(path, "cannot write (it is a directory)");
    if (!S_ISREG(target.st_mode)) ThrowFileError(path, "cannot write (not a regular file)");
    return static_cast<int>(target.st_mode & 07777);
}

OutputFile::OutputFile(std::string path) : m_path(std::move(path))
{
    m_mode = CheckOutputPath(m_path);
    m_temporary = TemporaryNameFor(m_path);
    const int fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) ThrowFileError(m_path, CannotCreateFault(errno));
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        ::close(fd);
        ::unlink(m_temporary.c_str());
        ThrowFileError(m_path, "cannot write (out of memory)");
    }
}

OutputFile::~OutputFile()
{
    if (m_file) std::fclose(m_file);
    if (!m_committed) ::unlink(m_temporary.c_str());
}

void OutputFile::Write(const void* bytes, size_t size)
{
    if (!m_file) ThrowFileError(m_path, "write error (file already closed)");
    if (size > 0 && std::fwrite(bytes, 1, size, m_file) != size)
        ThrowFileError(m_path, StrFormat("write error (%s)", std::strerror(errno)));
}

void OutputFile::Commit()
{
    if (m_file) {
        const bool flushed = std::fflush(m_file) == 0 && ::fsync(::fileno(m_file)) == 0;
        const int savedErrno = errno;
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        if (!flushed || !closed)
            ThrowFileError(m_path, StrFormat("write error (%s)", std::strerror(flushed ? errno : savedErrno)));
    }
    if (m_mode >= 0) ::chmod(m_temporary.c_str(), static_cast<mode_t>(m_mode));
    if (::rename(m_temporary.c_str(), m_path.c_str()) != 0)
        ThrowFileError(m_path, StrFormat("cannot write (%s)", std::strerror(errno)));
    m_committed = true;
}
