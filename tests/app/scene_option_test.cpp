// lantern shot --scene and bench --scene as a user runs them: a scene class drawn alone at a
// time of its own span, and a name that is no scene refused with the list of names.
#include "capture/png_writer.h"
#include "timeline/scene_factory.h"
#include "support/commands.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Runs lantern in `folder` as the working folder.
CommandResult RunLantern(const std::filesystem::path& folder, const std::string& arguments)
{
    return RunCommand(LanternProgram() + " " + arguments + " --data '" LANTERN_BUILD_DIR "'", folder);
}

TEST(SceneOption, AnUnknownNameExitsWithOneAndListsEveryScene)
{
    TempDir folder;
    for (const char* arguments : {"shot 0 frame.png --scene nosuch", "bench --frames 1 --scene nosuch",
                                  "shot 0 frame.png --scene tscene_cup"}) {
        const CommandResult run = RunLantern(folder.Path(), arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.output.find("no scene is called"), std::string::npos) << run.output;
        for (std::string_view name : SceneClassNames)
            EXPECT_NE(run.output.find(std::string(name) + (name == SceneClassNames.back() ? "" : ",")), std::string::npos)
                << name << " is not listed: " << run.output;
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "frame.png")) << arguments;
    }
}

TEST(SceneOption, DrawsASubSceneAloneAtATimeOfItsOwnSpan)
{
    TempDir folder;
    const CommandResult run = RunLantern(folder.Path(), "shot 50000 stair.png --scene stair");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    int width = 0, height = 0;
    const std::vector<uint8_t> frame = ReadPngRgb((folder.Path() / "stair.png").string(), width, height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    // The stair stands against white, and nothing (no letterbox) is drawn over a sub-scene:
    // the top rows, where the bars would be, are mostly white.
    int white = 0;
    for (size_t pixel = 0; pixel < 640 * 60; ++pixel)
        white += frame[3 * pixel] == 255 && frame[3 * pixel + 1] == 255 && frame[3 * pixel + 2] == 255;
    EXPECT_GT(white, 640 * 60 / 2);

    const CommandResult outside = RunLantern(folder.Path(), "shot 100000 late.png --scene stair");
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_NE(outside.output.find("outside the span of stair (0 to 99999 ms)"), std::string::npos) << outside.output;
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "late.png"));
}

TEST(SceneOption, TheSphereIsDrawnAsMeatrepeatsSubScenePastItsTimelineSpan)
{
    TempDir folder;
    // 50000 lies past the scheduled sphere's 18111 ms, inside its sub-scene objects' span.
    const CommandResult run = RunLantern(folder.Path(), "shot 50000 sphere.png --scene sphere");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "sphere.png"));
    const CommandResult outside = RunLantern(folder.Path(), "shot 100000 late.png --scene sphere");
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_NE(outside.output.find("outside the span of sphere (0 to 99999 ms)"), std::string::npos) << outside.output;
}

} // namespace
