// What the programs say about damaged data and wrong options: every refusal names the file
// and the fault, even where a box shows a fixed text, and numbers that are no numbers (NaN,
// infinities) are refused as options.
#include "support/commands.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

namespace {

CommandResult Shot(const DataCopy& data)
{
    return RunCommand(LanternProgram() + " shot 1000 frame.png --data '" + data.Root().string() + "'", data.Root());
}

TEST(Messages, ACorruptTextMeshKeepsItsBoxAndNamesTheFileAndTheFault)
{
    DataCopy data;
    const std::vector<uint8_t> original = data.Original("Data/seasonwindow/FRAME.TEXTGEOX");
    std::string text(original.begin(), original.end());
    // The last index of the last triangle names a vertex the mesh does not have.
    const size_t end = text.find_last_not_of("\r\n");
    const size_t start = text.find_last_of(' ', end) + 1;
    text.replace(start, end + 1 - start, "99999");
    data.Replace("Data/seasonwindow/FRAME.TEXTGEOX", text);
    const CommandResult run = Shot(data);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("CORRUPTED GEOX FILE!!!"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Data\\seasonwindow\\frame.textgeox: triangle 83 has vertex indices "), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(" 99999; the mesh has 168 vertices"), std::string::npos) << run.output;
}

TEST(Messages, AFolderInPlaceOfAPackedImageIsNamedAsSuch)
{
    for (const auto& [file, named] :
         {std::pair{"Data/font.jpg.packed", "data\\font.jpg.packed: cannot open (it is a directory)"},
          // Only the packed variant of this texture exists: the folder stands for it, and is
          // named, rather than the plain name nobody made.
          std::pair{"Data/textures/grass.jpg.packed", "Data\\textures\\grass.jpg.packed: cannot open (it is a directory)"}}) {
        DataCopy data;
        data.ReplaceWithFolder(file);
        const CommandResult run = Shot(data);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(named), std::string::npos) << run.output;
    }
}

TEST(Messages, NotANumberAndInfinitiesAreRefusedAsOptions)
{
    TempDir folder;
    for (const char* value : {"nan", "NaN", "inf", "-inf", "1e400"}) {
        const CommandResult run = RunCommand(LanternProgram() + " --headless --start " + value, folder.Path(), 30);
        EXPECT_NE(run.exitCode, 0) << value << ": " << run.output;
        EXPECT_NE(run.output.find("--start takes a finite number of seconds, not \"" + std::string(value) + "\""),
                  std::string::npos)
            << run.output;
    }
    const CommandResult late = RunCommand(LanternProgram() + " --headless --start 3601", folder.Path(), 30);
    EXPECT_NE(late.output.find("--start takes 0 to 3600 seconds, not 3601"), std::string::npos) << late.output;
    const CommandResult offset = RunCommand(LanternProgram() + " --headless --av-offset 2001", folder.Path(), 30);
    EXPECT_NE(offset.exitCode, 0) << offset.output;
    EXPECT_NE(offset.output.find("--av-offset: Value 2001 not in range -2000 to 2000"), std::string::npos) << offset.output;

    for (const char* value : {"nan", "inf", "INFINITY"}) {
        const CommandResult run =
            RunCommand(ToolProgram() + " camera " LANTERN_BUILD_DIR "/Data/dead.camera 0.5 " + value, folder.Path());
        EXPECT_EQ(run.exitCode, 1) << value << ": " << run.output;
        EXPECT_EQ(run.output, "lantern-tool: camera: \"" + std::string(value) + "\" is not a finite number\n");
    }
}

// A window that cannot be made (no display at :77, and the X11 driver forced) ends the run as
// a failure: exit code 1, the box's text, and beside it the reason SDL gave.
TEST(Messages, AWindowThatCannotBeMadeEndsWithOneAndTheReason)
{
    TempDir folder;
    const std::string unreachable = "env DISPLAY=:77 SDL_VIDEODRIVER=x11 " + LanternProgram();
    const std::string data = " --data \"" LANTERN_BUILD_DIR "\"";
    const std::string withReason = "Failed To Register The Window Class\\. \\([^)\n]+\\)\n";

    const CommandResult play = RunCommand(unreachable + " --windowed" + data, folder.Path(), 60);
    EXPECT_EQ(play.exitCode, 1) << play.output;
    EXPECT_NE(play.output.find("Error: Failed To Register The Window Class.\n"), std::string::npos) << play.output;
    EXPECT_TRUE(std::regex_search(play.output, std::regex("(^|\n)lantern: " + withReason))) << play.output;

    const CommandResult shot = RunCommand(unreachable + " shot 1000 frame.png" + data, folder.Path(), 60);
    EXPECT_EQ(shot.exitCode, 1) << shot.output;
    EXPECT_TRUE(std::regex_search(shot.output, std::regex("(^|\n)lantern shot: cannot open the off-screen frame: " +
                                                          withReason)))
        << shot.output;
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "frame.png"));
}

} // namespace
