// Whole-or-nothing output files: what stood at the path survives every failure, and a
// finished file replaces it in one step.
#include "base/error.h"
#include "base/files.h"
#include "base/output_file.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t EntriesIn(const std::filesystem::path& folder)
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(OutputFile, ReplacesTheTargetOnlyWhenCommitted)
{
    TempDir dir;
    const std::string target = dir.Write("keep.bin", std::string("precious"));
    ::chmod(target.c_str(), 0640);
    {
        OutputFile abandoned(target);
        abandoned.Write("half", 4);
        EXPECT_EQ(Read(target), "precious") << "nothing reaches the target before Commit";
    }
    EXPECT_EQ(Read(target), "precious");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "the abandoned temporary file is gone";

    OutputFile finished(target);
    finished.Write("new bytes", 9);
    finished.Commit();
    EXPECT_EQ(Read(target), "new bytes");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the target keeps its permissions";
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(OutputFile, RefusesDirectoriesSpecialFilesAndMissingFoldersBeforeWriting)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "folder");
    const std::string fifo = (dir.Path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto message = [](const std::string& path) {
        try {
            OutputFile file(path);
        } catch (const FatalError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(message((dir.Path() / "folder").string()), (dir.Path() / "folder").string() + ": cannot write (it is a directory)");
    EXPECT_EQ(message(fifo), fifo + ": cannot write (not a regular file)");
    EXPECT_NE(message((dir.Path() / "no" / "such.png").string()).find("such.png: cannot write"), std::string::npos);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u) << "nothing was left behind";

    // WriteFileBytes goes the same way.
    EXPECT_THROW(WriteFileBytes((dir.Path() / "folder").string(), "x", 1), FatalError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder"));
}

} // namespace
