// Running the programs, and data copies with one file damaged.
#include "support/commands.h"

#include "base/byte_order.h"
#include "base/files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

CommandResult RunCommand(const std::string& commandLine, const std::filesystem::path& folder, int timeoutSeconds)
{
    CommandResult result;
    const std::string shell = "cd '" + folder.string() + "' && timeout -k 5 " + std::to_string(timeoutSeconds) + " " +
                              commandLine + " 2>&1";
    std::FILE* pipe = ::popen(shell.c_str(), "r");
    if (!pipe) return result;
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, got);
    const int status = ::pclose(pipe);
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
        result.timedOut = result.exitCode == 124 || result.exitCode == 137;
    }
    return result;
}

std::string LanternProgram()
{
    return "\"" LANTERN_BUILD_DIR "/lantern\"";
}

std::string ToolProgram()
{
    return "\"" LANTERN_BUILD_DIR "/lantern-tool\"";
}

namespace {

const std::filesystem::path kGenerated = std::filesystem::path(LANTERN_BUILD_DIR) / "Data";

} // namespace

DataCopy::DataCopy()
{
    static std::atomic<int> counter{0};
    m_root = std::filesystem::temp_directory_path() /
             ("lantern-data-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_root);
    EXPECT_TRUE(std::filesystem::is_directory(kGenerated)) << kGenerated << " is missing (make data)";
    std::filesystem::create_directories(m_root / "Data");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kGenerated)) {
        const std::filesystem::path copy = m_root / "Data" / entry.path().lexically_relative(kGenerated);
        if (entry.is_directory()) std::filesystem::create_directory(copy);
        else std::filesystem::create_symlink(entry.path(), copy);
    }
}

DataCopy::~DataCopy()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::vector<uint8_t> DataCopy::Original(const std::string& relative) const
{
    std::ifstream in(kGenerated.parent_path() / relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << relative << " is not part of the generated data";
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DataCopy::Replace(const std::string& relative, const std::vector<uint8_t>& bytes) const
{
    Remove(relative);
    WriteFileBytes(Path(relative), bytes.data(), bytes.size());
}

void DataCopy::Replace(const std::string& relative, const std::string& text) const
{
    Replace(relative, std::vector<uint8_t>(text.begin(), text.end()));
}

void DataCopy::Remove(const std::string& relative) const
{
    std::filesystem::remove_all(m_root / relative);
}

void DataCopy::ReplaceWithFolder(const std::string& relative) const
{
    Remove(relative);
    std::filesystem::create_directory(m_root / relative);
}

void DataCopy::ReplaceWithFifo(const std::string& relative) const
{
    Remove(relative);
    ASSERT_EQ(::mkfifo(Path(relative).c_str(), 0600), 0) << relative;
}

void PatchFloat(std::vector<uint8_t>& bytes, size_t offset, float value)
{
    ASSERT_LE(offset + 4, bytes.size());
    StoreFloatLE(value, bytes.data() + offset);
}
