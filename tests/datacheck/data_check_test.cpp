// lantern-tool check: the generated folder passes; damaged copies have every damaged file
// named and fail; what plays but looks wrong is a warning; and the check reads every file
// the real start-up reads, and knows every texture name the scenes look up.
#include "datacheck/data_check.h"
#include "base/files.h"
#include "resources/lum_textures.h"
#include "resources/piece_inputs.h"
#include "support/commands.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;

CommandResult RunCheck(const std::string& folder)
{
    return RunCommand(ToolProgram() + " check '" + folder + "'", fs::current_path());
}

int CountLines(const std::string& text, const std::string& start)
{
    int count = 0;
    size_t line = 0;
    while (line < text.size()) {
        count += text.compare(line, start.size(), start) == 0;
        const size_t end = text.find('\n', line);
        line = end == std::string::npos ? text.size() : end + 1;
    }
    return count;
}

// The line of the output that names `file`, or "".
std::string LineNaming(const std::string& output, const std::string& file)
{
    const size_t at = output.find(file);
    if (at == std::string::npos) return {};
    const size_t start = output.rfind('\n', at);
    return output.substr(start == std::string::npos ? 0 : start + 1, output.find('\n', at) - (start + 1));
}

// A copy of the generated Data folder to damage.
class DataCopy {
public:
    DataCopy() { fs::copy(fs::path(LANTERN_BUILD_DIR) / "Data", m_folder.Path() / "Data", fs::copy_options::recursive); }
    std::string Folder() const { return m_folder.Path().string(); }
    fs::path File(const std::string& relative) const { return m_folder.Path() / "Data" / relative; }
    void Append(const std::string& relative, const std::string& text) const
    {
        std::ofstream(File(relative), std::ios::app) << text;
    }

private:
    TempDir m_folder;
};

TEST(DataCheck, TheGeneratedFolderPassesWithoutAWarning)
{
    const CommandResult run = RunCheck(LANTERN_BUILD_DIR);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(" 0 errors, 0 warnings: the piece would play"), std::string::npos) << run.output;
}

TEST(DataCheck, NamesEveryDamagedFileAndFails)
{
    const DataCopy copy;
    fs::resize_file(copy.File("plane.geox"), 100);
    fs::remove(copy.File("sign.camera"));
    // Garbage in the middle of the packed picture of the yard's balconies.
    std::fstream packed(copy.File("yard/balconies.jpg.packed"), std::ios::in | std::ios::out | std::ios::binary);
    packed.seekp(static_cast<std::streamoff>(fs::file_size(copy.File("yard/balconies.jpg.packed")) / 2));
    packed << std::string(300, '\x5a');
    packed.close();
    // An entry with neither file nor name makes the loader show a box.
    copy.Append("cup/textures.ini", "\n[texture77]\nfilter=1\n");

    const CommandResult run = RunCheck(copy.Folder());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(CountLines(run.output, "error: "), 4) << run.output;
    EXPECT_NE(LineNaming(run.output, "Data\\plane.geox: file truncated").find("error: "), std::string::npos) << run.output;
    EXPECT_NE(LineNaming(run.output, "data\\sign.camera: cannot open").find("error: "), std::string::npos) << run.output;
    EXPECT_NE(LineNaming(run.output, "Data\\yard\\balconies.jpg.packed:").find("Data\\yard\\textures.ini"),
              std::string::npos)
        << run.output;
    EXPECT_NE(LineNaming(run.output, "[texture77]").find("error in texture"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("4 errors, 0 warnings: the piece would not play"), std::string::npos) << run.output;
}

TEST(DataCheck, WarnsOfNamesThatFindNothingAndStillPasses)
{
    const DataCopy copy;
    std::ifstream in(copy.File("globaltextures.ini"));
    std::string list(std::istreambuf_iterator<char>(in), {});
    in.close();
    const size_t flatsky = list.find("name=flatsky");
    ASSERT_NE(flatsky, std::string::npos);
    list.replace(flatsky, 12, "name=flatskies");
    // The black-and-white trees sampled without their mipmaps: cut out otherwise than the colour ones.
    const size_t treebw = list.find("name=treebw");
    ASSERT_NE(treebw, std::string::npos);
    list.insert(treebw, "filter=2\n");
    std::ofstream(copy.File("globaltextures.ini"), std::ios::trunc) << list;
    copy.Append("dno/textures.ini", "\n[texture90]\nname=sandbottomwithpebblesandweedsandmore\nfilename=sand.jpg\n");
    fs::copy_file(copy.File("sky.jpg"), copy.File("dno/sand.jpg"));
    fs::remove(copy.File("soundtrack.ogg"));

    const CommandResult run = RunCheck(copy.Folder());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(LineNaming(run.output, "\"flatsky\" is bound").find("warning: "), std::string::npos) << run.output;
    EXPECT_NE(LineNaming(run.output, "\"dno.sandbottomwithpebblesandweedsandmore\"").find("longer than 32"),
              std::string::npos)
        << run.output;
    EXPECT_NE(LineNaming(run.output, "soundtrack.ogg").find("plays silently"), std::string::npos) << run.output;
    EXPECT_NE(LineNaming(run.output, "textures \"tree\" and \"treebw\"").find("season draws the world seen through"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("0 errors, 4 warnings: the piece would play"), std::string::npos) << run.output;

    fs::remove_all(copy.File(""));
    EXPECT_EQ(RunCheck(copy.Folder()).exitCode, 1);
}

std::set<std::string> g_filesRead;
std::vector<std::string> g_namesLookedUp;

class DataCheckCoverage : public ::testing::Test {};

TEST_F(DataCheckCoverage, ReadsEveryFileTheStartUpReadsAndKnowsEveryNameItLooksUp)
{
    SetFileReadObserver([](const std::string& path) { g_filesRead.insert(path); });
    SetTextureLookupObserver([](std::string_view name) { g_namesLookedUp.emplace_back(name); });
    EnsureOfflinePiece();
    SetTextureLookupObserver(nullptr);
    const std::set<std::string> startUp = std::move(g_filesRead);
    g_filesRead.clear();
    ASSERT_GT(startUp.size(), 100u) << "the start-up ran with the observer on";

    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    const DataCheckResult result = CheckDataFolder(LANTERN_BUILD_DIR, sink);
    std::fclose(sink);
    SetFileReadObserver(nullptr);
    EXPECT_EQ(result.errors, 0);
    for (const std::string& file : startUp) EXPECT_EQ(g_filesRead.count(file), 1u) << file << " is not checked";
    // The converse for everything but the scenes' own files, which appear as scenes are written,
    // and the larger images, which only a picture of 720 rows or more reads.
    for (const std::string& file : g_filesRead) {
        if (file.ends_with(".camera") || file.ends_with(".path")) continue;
        if (file.find("/Data/2x/") != std::string::npos || file.find("/Data/4x/") != std::string::npos) continue;
        EXPECT_EQ(startUp.count(file), 1u) << file << " is checked but the start-up never reads it";
    }

    ASSERT_FALSE(g_namesLookedUp.empty());
    for (const std::string& name : g_namesLookedUp) {
        bool known = std::find(BoundTextureNames.begin(), BoundTextureNames.end(), name) != BoundTextureNames.end();
        for (const PrefixedMeshFolder& folder : PrefixedMeshFolders) known |= name.starts_with(folder.prefix);
        EXPECT_TRUE(known) << "a scene looks up \"" << name << "\", which the check's table does not name";
    }
}

} // namespace
