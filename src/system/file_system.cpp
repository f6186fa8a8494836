// What the file calls of every system share: the checks before a file is opened and the texts
// of every fault, so that a message reads the same on Linux and on Windows.
#include "system/file_system.h"

#include "system/file_calls.h"

#include <cerrno>
#include <cstring>

namespace {

// The system's reason; nothing at the path is said alike everywhere.
std::string ReasonOf(const SystemFault& fault)
{
    return fault.missing ? ErrorText(ENOENT) : fault.reason;
}

// Why a new file could not be made, saying so when it is the folder that refuses.
std::string CreationFault(const SystemFault& fault)
{
    return (fault.folderRefuses ? "its folder is not writable: " : "") + ReasonOf(fault);
}

const char* Refusal(OpenStep step)
{
    switch (step) {
    case OpenStep::Folder: return "cannot open (it is a directory)";
    case OpenStep::NotRegularFile: return "cannot open (not a regular file)";
    case OpenStep::TypeUnreadable: return "cannot open (cannot read its type)";
    case OpenStep::BlockingStays: return "cannot open (cannot read it)";
    case OpenStep::NoStream: return "cannot open (out of memory)";
    case OpenStep::Opened:
    case OpenStep::Failed: break;
    }
    return "";
}

} // namespace

bool IsAbsolutePath(std::string_view path)
{
    return IsAbsolutePath(path, SystemPathStyle);
}

size_t LastPathSeparator(std::string_view path)
{
    return LastPathSeparator(path, SystemPathStyle);
}

std::string FolderOfPath(const std::string& path)
{
    return FolderOfPath(path, SystemPathStyle);
}

std::FILE* OpenRegularFile(const std::string& path, OpenFor purpose, std::string& fault, bool& missing)
{
    missing = false;
    // What is plainly no file is refused by its name first: opening a FIFO for writing with no
    // reader would fail with a reason that hides what stands there.
    switch (KindOfPath(path)) {
    case PathKind::Folder: fault = Refusal(OpenStep::Folder); return nullptr;
    case PathKind::Other: fault = Refusal(OpenStep::NotRegularFile); return nullptr;
    default: break;
    }
    OpenStep step = OpenStep::Failed;
    SystemFault systemFault;
    std::FILE* file = OpenWithoutWaiting(path, purpose, step, systemFault);
    if (step == OpenStep::Opened) return file;
    if (step != OpenStep::Failed) {
        fault = Refusal(step);
        return nullptr;
    }
    missing = systemFault.missing;
    const bool creating = purpose == OpenFor::Appending && KindOfPath(path) == PathKind::Missing;
    fault = creating ? "cannot write (" + CreationFault(systemFault) + ")"
                     : "cannot open (" + ReasonOf(systemFault) + ")";
    return nullptr;
}

std::FILE* CreateNewFile(const std::string& path, std::string& reason)
{
    OpenStep step = OpenStep::Failed;
    SystemFault fault;
    std::FILE* file = CreateExclusively(path, step, fault);
    if (step == OpenStep::Failed) reason = CreationFault(fault);
    if (step == OpenStep::NoStream) {
        RemoveFile(path);
        reason = "out of memory";
    }
    return file;
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}
