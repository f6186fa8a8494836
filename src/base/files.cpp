// Case-insensitive resolution of Windows-style paths, and checked file reading.
#include "base/files.h"

#include "base/error.h"
#include "base/output_file.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string g_dataRoot = ".";
FileReadObserver g_readObserver = nullptr;

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of folder whose name equals component without regard to case, or the
// component itself when none does.
std::string MatchComponent(const std::string& folder, const std::string& component)
{
    const std::string direct = folder.empty() ? component : folder + "/" + component;
    if (Exists(direct)) return component;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return component;
    std::string found = component;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

void SetDataRoot(std::string folder)
{
    g_dataRoot = folder.empty() ? std::string(".") : std::move(folder);
}

const std::string& DataRoot()
{
    return g_dataRoot;
}

std::string ResolvePath(std::string_view path)
{
    std::string unixPath(path);
    for (char& c : unixPath)
        if (c == '\\') c = '/';

    // Absolute paths start at the root, written here as the empty prefix.
    const bool absolute = !unixPath.empty() && unixPath[0] == '/';
    std::string resolved = absolute ? std::string() : g_dataRoot;
    size_t position = 0;
    while (position <= unixPath.size()) {
        size_t end = unixPath.find('/', position);
        if (end == std::string::npos) end = unixPath.size();
        const std::string component = unixPath.substr(position, end - position);
        position = end + 1;
        if (component.empty() || component == ".") continue;
        const std::string folder = resolved.empty() ? std::string("/") : resolved;
        resolved.push_back('/');
        resolved.append(component == ".." ? component : MatchComponent(folder, component));
    }
    return resolved.empty() ? std::string("/") : resolved;
}

std::string WorkingFolderPath(std::string_view name)
{
    char folder[4096];
    if (!::getcwd(folder, sizeof folder)) return std::string(name);
    return std::string(folder) + (folder[1] == '\0' ? "" : "/") + std::string(name);
}

bool PathExists(std::string_view path)
{
    struct stat info {};
    return ::stat(ResolvePath(path).c_str(), &info) == 0;
}

bool FileExists(std::string_view path)
{
    struct stat info {};
    return ::stat(ResolvePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void SetFileReadObserver(FileReadObserver observer)
{
    g_readObserver = observer;
}

int OpenRegularFileForReading(const std::string& realPath, std::string& fault, bool& missing)
{
    // Opened without waiting, so a FIFO or device in place of a data file is refused at once
    // instead of blocking the start-up for ever; the type is checked on what was opened.
    missing = false;
    const int fd = ::open(realPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT;
        fault = StrFormat("cannot open (%s)", std::strerror(errno));
        return -1;
    }
    struct stat info {};
    const char* refusal = nullptr;
    if (::fstat(fd, &info) != 0) refusal = "cannot open (cannot read its type)";
    else if (S_ISDIR(info.st_mode)) refusal = "cannot open (it is a directory)";
    else if (!S_ISREG(info.st_mode)) refusal = "cannot open (not a regular file)";
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        refusal = "cannot open (cannot read it)";
    if (refusal) {
        ::close(fd);
        fault = refusal;
        return -1;
    }
    return fd;
}

FilePtr OpenForReading(std::string_view path)
{
    const std::string real = ResolvePath(path);
    if (g_readObserver) g_readObserver(real);
    std::string fault;
    bool missing = false;
    const int fd = OpenRegularFileForReading(real, fault, missing);
    if (fd < 0) ThrowFileError(path, fault);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        ThrowFileError(path, "cannot open (out of memory)");
    }
    return FilePtr(file);
}

long FileSize(std::FILE* file, std::string_view path)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) ThrowFileError(path, "cannot read its size");
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, here, SEEK_SET) != 0) ThrowFileError(path, "cannot read its size");
    return size;
}

std::vector<unsigned char> ReadFileBytes(std::string_view path)
{
    FilePtr file = OpenForReading(path);
    const long size = FileSize(file.get(), path);
    std::vector<unsigned char> bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        ThrowFileError(path, StrFormat("too large to read (%ld bytes)", size));
    }
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        ThrowFileError(path, "read error");
    return bytes;
}

void WriteFileBytes(const std::string& path, const void* bytes, size_t size)
{
    OutputFile file(path);
    file.Write(bytes, size);
    file.Commit();
}
