// Files: every path the program reads is written the Windows way ("Data\season\geox.list",
// "data\dead.geox"). ResolvePath turns it into a real path below the data root: backslashes
// become slashes and each component is matched exactly first, then without regard to case.
// Every file the program opens for reading goes through it.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The folder that holds "Data" (and "data\..." files); relative paths resolve below it.
// Defaults to the working folder.
void SetDataRoot(std::string folder);
const std::string& DataRoot();

// The real path for a Windows-style path. Relative paths start at the data root, absolute
// ones at their root ("/", or a drive on Windows). A component that matches nothing is kept
// as written, so opening the result fails with a name the user recognises.
std::string ResolvePath(std::string_view path);

// Where a file the piece writes in the working folder ("default.camera", "loading.log") lies:
// the working folder's absolute path and the name, so a message says which folder is meant;
// the name alone when the system cannot tell the working folder.
std::string WorkingFolderPath(std::string_view name);

// True when the path names an existing regular file.
bool FileExists(std::string_view path);
// True when anything (a file, a folder, a FIFO ...) stands at the path.
bool PathExists(std::string_view path);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for binary reading; FatalError "<path>: cannot open (<reason>)"
// otherwise, with "it is a directory" or "not a regular file" for what is no file (a FIFO
// or device is refused without waiting on it).
FilePtr OpenForReading(std::string_view path);
// Sees the real path of every file OpenForReading is asked to open, opened or not (nullptr:
// nobody watches). The data check is proved to read everything the start-up reads this way.
using FileReadObserver = void (*)(const std::string& realPath);
void SetFileReadObserver(FileReadObserver observer);

// Size in bytes of an open file (position restored); FatalError naming path on failure.
long FileSize(std::FILE* file, std::string_view path);

// The whole file; FatalError naming the path when it cannot be opened or read.
std::vector<unsigned char> ReadFileBytes(std::string_view path);

// Makes the file anew with these bytes, whole or not at all (base/output_file.h). The path is
// a real one (output goes where the user said, not below the data root); FatalError naming it
// when it cannot be written.
void WriteFileBytes(const std::string& path, const void* bytes, size_t size);
