// Case-insensitive resolution of Windows-style paths, and checked file reading.
#include "base/files.h"

#include "base/error.h"
#include "base/output_file.h"
#include "system/file_system.h"

#include <new>

namespace {

std::string g_dataRoot = ".";
FileReadObserver g_readObserver = nullptr;

// The entry of folder whose name equals component without regard to case, or the
// component itself when none does.
std::string MatchComponent(const std::string& folder, const std::string& component)
{
    const std::string direct = folder.empty() ? component : folder + "/" + component;
    if (KindOfPath(direct) != PathKind::Missing) return component;
    const std::string found = FindEntryIgnoringCase(folder, component);
    return found.empty() ? component : found;
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

    // Absolute paths start at their root ("/", or a drive "C:" on Windows), written here as
    // the prefix before the first separator.
    const bool absolute = IsAbsolutePath(unixPath);
    std::string resolved = g_dataRoot;
    size_t position = 0;
    if (absolute) {
        position = unixPath.find('/');
        resolved = unixPath.substr(0, position);
        position = position == std::string::npos ? unixPath.size() + 1 : position + 1;
    }
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
    const std::string folder = WorkingFolder();
    if (folder == ".") return std::string(name);
    const char last = folder.back();
    return folder + (last == '/' || last == '\\' ? "" : "/") + std::string(name);
}

bool PathExists(std::string_view path)
{
    return KindOfPath(ResolvePath(path)) != PathKind::Missing;
}

bool FileExists(std::string_view path)
{
    return KindOfPath(ResolvePath(path)) == PathKind::File;
}

void SetFileReadObserver(FileReadObserver observer)
{
    g_readObserver = observer;
}

FilePtr OpenForReading(std::string_view path)
{
    const std::string real = ResolvePath(path);
    if (g_readObserver) g_readObserver(real);
    std::string fault;
    bool missing = false;
    std::FILE* file = OpenRegularFile(real, OpenFor::Reading, fault, missing);
    if (!file) ThrowFileError(path, fault);
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
