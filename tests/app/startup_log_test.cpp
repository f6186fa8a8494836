// The start-up order, seen as the lines of "loading.log" when lantern runs with --log.
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Runs lantern in `folder` as the working folder; returns its exit code.
int RunLantern(const std::filesystem::path& folder, const std::string& arguments)
{
    const std::string command = "cd '" + folder.string() + "' && '" LANTERN_BUILD_DIR "/lantern' " + arguments +
                                " --data '" LANTERN_BUILD_DIR "' > output.txt 2>&1";
    return std::system(command.c_str());
}

// The messages of the log, without their time stamps.
std::vector<std::string> LogMessages(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> messages;
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.back(), '\r') << "lines end in CR LF";
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t separator = line.find(" : ");
        EXPECT_EQ(separator, 8u) << line; // hh:mm:ss : message
        if (separator != std::string::npos) messages.push_back(line.substr(separator + 3));
    }
    return messages;
}

TEST(StartUpLog, ListsTheLoadingStepsInOrderWithLog)
{
    TempDir folder;
    ASSERT_EQ(RunLantern(folder.Path(), "--log shot 0 frame.png"), 0);
    const std::vector<std::string> messages = LogMessages(folder.Path() / "loading.log");
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0], "data\\font.jpg.packed + data\\font_alpha.jpg.packed");
    EXPECT_EQ(messages[1], "data\\loader.jpg.packed");

    const std::vector<std::string> steps = {
        "+font", "trying globals load", "global ok",
        "Trying to load scene 0", "Trying to load scene 1", "Trying to load scene 2",
        "Trying to load scene 5", "Trying to load scene 6", "Trying to load scene 7",
        "Trying to load scene 8", "Trying to load scene 9", "Trying to load scene 10",
        "Trying to load scene 11", "Trying to load scene 12", "Trying to load scene 13",
        "Trying to load scene 15", "Trying to load scene 16", "by scene loaders ok",
        "initing sound...", "sound ok"};
    std::vector<std::string> seen;
    for (const std::string& message : messages)
        if (std::find(steps.begin(), steps.end(), message) != steps.end()) seen.push_back(message);
    EXPECT_EQ(seen, steps);
    EXPECT_EQ(messages.back(), "sound ok");
    // The global data set loads between its two messages, meshes after the texture list.
    const auto globals = std::find(messages.begin(), messages.end(), "trying globals load");
    const auto leaf = std::find(globals, messages.end(), "Data\\leafsmall.geox");
    EXPECT_LT(leaf, std::find(globals, messages.end(), "global ok"));
}

TEST(StartUpLog, ARunWithoutLogWritesNoLogAndLeavesAnOldOneAlone)
{
    TempDir folder;
    ASSERT_EQ(RunLantern(folder.Path(), "shot 0 frame.png"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "loading.log"));

    folder.Write("loading.log", "old\r\n");
    ASSERT_EQ(RunLantern(folder.Path(), "shot 0 frame.png"), 0);
    std::ifstream in(folder.Path() / "loading.log", std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "old\r\n");
}

TEST(StartUpLog, AMissingDataFolderEndsWithAnApplicationErrorNamingTheFile)
{
    TempDir folder;
    const std::string command = "cd '" + folder.Path().string() + "' && '" LANTERN_BUILD_DIR
                                "/lantern' --data . shot 0 frame.png > output.txt 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(folder.Path() / "output.txt");
    const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(output.find("Application Error"), std::string::npos) << output;
    EXPECT_NE(output.find("font.jpg.packed"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "frame.png"));
}

} // namespace
