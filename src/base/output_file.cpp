// Whole-or-nothing output files.
#include "base/output_file.h"

#include "base/error.h"
#include "system/file_system.h"

#include <atomic>
#include <cerrno>

namespace {

std::atomic<unsigned> g_serial{0};

// "<folder>/.<name>.part-<pid>-<n>": hidden, beside the target, unique in this process.
std::string TemporaryNameFor(const std::string& path)
{
    const size_t slash = LastPathSeparator(path);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".part-" + std::to_string(ProcessId()) + "-" + std::to_string(g_serial++);
}

} // namespace

int CheckOutputPath(const std::string& path)
{
    const size_t slash = LastPathSeparator(path);
    if (path.empty() || slash == path.size() - 1) ThrowFileError(path, "cannot write (not a file name)");
    switch (KindOfPath(path)) {
    case PathKind::Missing:
        if (KindOfPath(FolderOfPath(path)) != PathKind::Folder)
            ThrowFileError(path, "cannot write (its folder does not exist)");
        return -1;
    case PathKind::Folder: ThrowFileError(path, "cannot write (it is a directory)");
    case PathKind::Other: ThrowFileError(path, "cannot write (not a regular file)");
    case PathKind::File: break;
    }
    return PermissionBits(path);
}

OutputFile::OutputFile(std::string path) : m_path(std::move(path))
{
    m_mode = CheckOutputPath(m_path);
    m_temporary = TemporaryNameFor(m_path);
    std::string reason;
    m_file = CreateNewFile(m_temporary, reason);
    if (!m_file) ThrowFileError(m_path, "cannot write (" + reason + ")");
}

OutputFile::~OutputFile()
{
    if (m_file) std::fclose(m_file);
    if (!m_committed) RemoveFile(m_temporary);
}

void OutputFile::Write(const void* bytes, size_t size)
{
    if (!m_file) ThrowFileError(m_path, "write error (file already closed)");
    if (size > 0 && std::fwrite(bytes, 1, size, m_file) != size)
        ThrowFileError(m_path, "write error (" + ErrorText(errno) + ")");
}

void OutputFile::Commit()
{
    if (m_file) {
        const bool flushed = FlushToDisk(m_file);
        const int savedErrno = errno;
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        if (!flushed || !closed) ThrowFileError(m_path, "write error (" + ErrorText(flushed ? errno : savedErrno) + ")");
    }
    SetPermissionBits(m_temporary, m_mode);
    std::string reason;
    if (!MoveOver(m_temporary, m_path, reason)) ThrowFileError(m_path, "cannot write (" + reason + ")");
    m_committed = true;
}
