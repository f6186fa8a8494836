// The programs as a user runs them, for tests of what they print, return and leave behind;
// and copies of the generated data set with one file damaged.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct CommandResult {
    int exitCode = -1;    // -1 when the program died of a signal
    bool timedOut = false;
    std::string output;   // stdout and stderr together
};

// Runs one program with its arguments (a shell command line without redirections) in
// `folder`, the working folder; it is killed after `timeoutSeconds`.
CommandResult RunCommand(const std::string& commandLine, const std::filesystem::path& folder,
                         int timeoutSeconds = 120);
// The built programs, quoted for a command line.
std::string LanternProgram();
std::string ToolProgram();

// A copy of the generated data set (build/Data) in its own temporary folder: every file a
// link to the original until it is replaced, so a copy costs next to nothing. Paths are
// relative to the folder that holds Data ("Data/yard/geox.list").
class DataCopy {
public:
    DataCopy();
    ~DataCopy();
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;

    // The folder that holds Data: give it to --data or SetDataRoot.
    const std::filesystem::path& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return (m_root / relative).string(); }
    // The original bytes of a generated file.
    std::vector<uint8_t> Original(const std::string& relative) const;

    void Replace(const std::string& relative, const std::vector<uint8_t>& bytes) const;
    void Replace(const std::string& relative, const std::string& text) const;
    void Remove(const std::string& relative) const;
    void ReplaceWithFolder(const std::string& relative) const;
    void ReplaceWithFifo(const std::string& relative) const;

private:
    std::filesystem::path m_root;
};

// The four bytes of a little-endian float written at `offset`.
void PatchFloat(std::vector<uint8_t>& bytes, size_t offset, float value);
