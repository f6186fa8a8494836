// The loading log: time-stamped CR LF lines appended to "loading.log" in the working
// folder, and nothing at all while it is switched off.
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "resources/lum_geox.h"
#include "resources/lum_log.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

// Runs each test in a fresh working folder with the log switched on.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.Path());
        LogEnabled = true;
    }
    void TearDown() override
    {
        LogEnabled = false;
        std::filesystem::current_path(m_previous);
    }

    std::string LogText() const
    {
        std::ifstream in(m_folder.Path() / "loading.log", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The messages of the log, checking the "HH:MM:SS : " stamp and CR LF of every line.
    std::vector<std::string> Messages() const
    {
        static const std::regex line(R"((\d\d):(\d\d):(\d\d) : ([^\r\n]*)\r\n)");
        std::vector<std::string> messages;
        const std::string text = LogText();
        auto position = text.cbegin();
        std::smatch match;
        while (position != text.cend()) {
            const bool found = std::regex_search(position, text.cend(), match, line,
                                                 std::regex_constants::match_continuous);
            EXPECT_TRUE(found) << "bad line at " << (position - text.cbegin()) << " in:\n" << text;
            if (!found) break;
            EXPECT_LT(std::stoi(match[1]), 24);
            EXPECT_LT(std::stoi(match[2]), 60);
            messages.push_back(match[4]);
            position = match[0].second;
        }
        return messages;
    }

    TempDir m_folder;
    std::filesystem::path m_previous;
};

TEST_F(LogTest, LinesAreAppendedAndTheFileIsNeverTruncated)
{
    Log("trying globals load");
    EXPECT_EQ(Messages(), std::vector<std::string>{"trying globals load"});
    Log("");
    Log("global ok");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"trying globals load", "", "global ok"}));
}

TEST_F(LogTest, SwitchedOffItTouchesNothing)
{
    LogEnabled = false;
    Log("+font");
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "loading.log"));
    LogEnabled = true;
    Log("one");
    LogEnabled = false;
    Log("two");
    EXPECT_EQ(Messages(), std::vector<std::string>{"one"});
}

TEST_F(LogTest, AWorkingFolderThatTakesNoFilesIsNamedWholeInTheError)
{
    std::string message;
    {
        UnwritableFolder locked(m_folder.Path());
        message = FatalMessage([] { Log("+font"); });
    }
    EXPECT_EQ(message,
              (m_folder.Path() / "loading.log").string() + ": cannot write (its folder is not writable: Permission denied)");
    // A log that exists but cannot be opened is said so, under the same whole path.
    m_folder.Write("loading.log", "old\r\n");
    std::filesystem::permissions(m_folder.Path() / "loading.log", std::filesystem::perms::owner_read);
    {
        UnwritableFolder locked(m_folder.Path());
        message = FatalMessage([] { Log("+font"); });
    }
    EXPECT_EQ(message, (m_folder.Path() / "loading.log").string() + ": cannot open (Permission denied)");
    EXPECT_EQ(LogText(), "old\r\n");
}

TEST_F(LogTest, GeoxListsLogPathsAndFilteredNamesTwice)
{
    const std::string empty(8, '\0');
    m_folder.Write("Data/leaf_01.geox", empty);
    m_folder.Write("Data/geox.list", std::string("leaf_01.geox\r\n"));
    const std::string folder = m_folder.Path().string() + "/Data/";
    GeoxList list;
    LoadGeoxList(list, folder, "geox.list");
    EXPECT_EQ(Messages(), (std::vector<std::string>{folder + "leaf_01.geox", "created filtered name leaf",
                                                    "created filtered name leaf", "leaf of leaf from leaf_01.geox"}));
}

} // namespace
