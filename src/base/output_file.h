// OutputFile: a file written whole or not at all. The bytes go to a temporary file beside the
// target and are renamed over it only when complete, so a failed or interrupted write leaves
// whatever stood at the path as it was, and never a half-written file under its name.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The refusals OutputFile makes before it writes, for a command that wants to refuse a bad
// output path before long work: FatalError naming the path when it is no file name, a
// directory, something other than a regular file, or in a folder that does not exist. Returns
// the permission bits a replacement keeps: an existing file's, -1 when nothing stands there
// (or, on Windows, where files carry none).
int CheckOutputPath(const std::string& path);

class OutputFile {
public:
    // Refuses, before anything is written, a target that is a directory or exists and is not a
    // regular file (a device, a FIFO), and a folder it cannot write into: FatalError naming
    // the path and the fault. Opens the temporary file at once, so a bad path fails before
    // any long work of making the contents.
    explicit OutputFile(std::string path);
    // Removes the temporary file unless Commit succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& Path() const { return m_path; }
    // Where the bytes go until Commit, for writers that open files by name (they then write
    // it and close it before Commit).
    const std::string& TemporaryPath() const { return m_temporary; }
    // The open temporary file (nullptr once closed).
    std::FILE* Stream() const { return m_file; }

    // Appends bytes to the temporary file; FatalError naming the target on failure.
    void Write(const void* bytes, size_t size);
    // Closes the temporary file if it is open, flushes it to disk and renames it over the
    // target (keeping an existing target's permissions). FatalError naming the target, and
    // the target untouched, on failure.
    void Commit();

private:
    std::string m_path;
    std::string m_temporary;
    std::FILE* m_file = nullptr;
    bool m_committed = false;
    int m_mode = -1; // an existing target's permission bits
};
