// Texture lists and mesh lists of copies of the generated data, missing, unreadable, empty or
// damaged: a texture list that loads nothing says so, naming the file, on stderr and in
// "loading.log"; a mesh list with a hole is an error naming the list and the line.
#include "support/commands.h"
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "base/files.h"
#include "base/profile.h"
#include "resources/lum_geox.h"
#include "resources/lum_log.h"
#include "resources/lum_textures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Runs with the data copy's folder as the working folder, where "loading.log" is written.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class DamagedLists : public GlTest {
protected:
    void SetUp() override
    {
        LogEnabled = false;
        SetDataRoot(m_data.Root().string());
    }
    void TearDown() override
    {
        LogEnabled = false;
        SetDataRoot(".");
    }
    DataCopy m_data;
};

TEST_F(DamagedLists, ATextureListThatLoadsNothingSaysSoAndStaysEmpty)
{
    const std::string list = "Data/yard/textures.ini";
    const struct {
        const char* damage;
        std::function<void()> apply;
        const char* fault;
    } cases[] = {
        {"missing", [&] { m_data.Remove(list); }, "texture list is missing; no textures are loaded from it"},
        {"a folder", [&] { m_data.ReplaceWithFolder(list); }, "cannot open (it is a directory); no textures are loaded from it"},
        {"a FIFO", [&] { m_data.ReplaceWithFifo(list); }, "cannot open (not a regular file); no textures are loaded from it"},
        {"empty", [&] { m_data.Replace(list, std::string()); }, "lists no textures (no section texture0 to texture999 with a key)"},
        {"sections without keys", [&] { m_data.Replace(list, std::string("[texture0]\r\n[texture1000]\r\nname=x\r\n")); },
         "lists no textures (no section texture0 to texture999 with a key)"},
    };
    auto library = std::make_unique<TextureLibrary>();
    for (const auto& test : cases) {
        test.apply();
        CapturedWarnings warnings;
        {
            WorkingFolder folder(m_data.Root());
            LogEnabled = true;
            LoadTextureList(*library, "yard.", "Data\\yard\\textures.ini", "Data\\yard\\");
            LogEnabled = false;
        }
        EXPECT_EQ(library->count, 0) << test.damage;
        EXPECT_EQ(warnings.About("Data\\yard\\textures.ini"), std::string("Data\\yard\\textures.ini: ") + test.fault)
            << test.damage;
        const std::string log = ReadText(m_data.Root() / "loading.log");
        EXPECT_NE(log.find(std::string(" : warning: Data\\yard\\textures.ini: ") + test.fault + "\r\n"), std::string::npos)
            << test.damage << ": " << log;
        std::filesystem::remove(m_data.Root() / "loading.log");
    }
}

TEST_F(DamagedLists, AByteOrderMarkIsSkippedAndNamesTooLongToFindAreWarnedAbout)
{
    const std::vector<uint8_t> original = m_data.Original("Data/yard/textures.ini");
    const std::string text(original.begin(), original.end());
    const auto plain = ReadTextureListItems(PrivateProfile::Parse(text), "yard.", "Data\\yard\\");
    const auto marked = ReadTextureListItems(PrivateProfile::Parse("\xEF\xBB\xBF" + text), "yard.", "Data\\yard\\");
    ASSERT_GT(plain.size(), 2u);
    ASSERT_EQ(marked.size(), plain.size()) << "the first section is read despite the mark";
    EXPECT_EQ(marked[0].name, plain[0].name);
    EXPECT_EQ(marked[0].file, plain[0].file);

    const std::string longName = "a_name_of_forty_characters_is_too_long_";
    ASSERT_EQ(longName.size() + 5, 44u);
    m_data.Replace("Data/yard/textures.ini", "\xEF\xBB\xBF[texture0]\r\nname=" + longName + "\r\nfilename=" +
                                                 plain[0].file.substr(std::string("Data\\yard\\").size()) + "\r\n");
    auto library = std::make_unique<TextureLibrary>();
    CapturedWarnings warnings;
    LoadTextureList(*library, "yard.", "Data\\yard\\textures.ini", "Data\\yard\\");
    ASSERT_EQ(library->count, 1) << "the texture still loads";
    EXPECT_EQ(FindTexture(*library, "yard." + longName), 0u);
    EXPECT_EQ(warnings.About("Data\\yard\\textures.ini"),
              "Data\\yard\\textures.ini: texture0: the name \"yard." + longName +
                  "\" is longer than 32 characters; no scene can find it by that name");
}

TEST_F(DamagedLists, MeshListsWithHolesOrInPlaceOfAFileAreErrorsNamingTheList)
{
    const std::vector<uint8_t> original = m_data.Original("Data/yard/geox.list");
    std::string withHole(original.begin(), original.end());
    withHole.insert(withHole.find("\r\n", withHole.find("\r\n") + 2) + 2, "\r\n");
    const struct {
        std::function<void()> apply;
        std::string message;
    } cases[] = {
        {[&] { m_data.Replace("Data/yard/geox.list", withHole); },
         "Data\\yard\\geox.list: line 3 is empty; entries must not be separated by empty lines"},
        {[&] { m_data.ReplaceWithFolder("Data/yard/geox.list"); }, "Data\\yard\\geox.list: cannot open (it is a directory)"},
        {[&] { m_data.ReplaceWithFifo("Data/yard/geox.list"); }, "Data\\yard\\geox.list: cannot open (not a regular file)"},
        {[&] { m_data.Remove("Data/yard/geox.list"); }, "Data\\yard\\geox.list: cannot open (No such file or directory)"},
    };
    for (const auto& test : cases) {
        test.apply();
        GeoxList list;
        EXPECT_EQ(FatalMessage([&] { LoadGeoxList(list, "Data\\yard\\", "geox.list"); }), test.message);
    }

    // Empty lines after the last entry are harmless; a list with no entry at all is said.
    m_data.Replace("Data/yard/geox.list", std::string(original.begin(), original.end()) + "\r\n\r\n");
    GeoxList list;
    LoadGeoxList(list, "Data\\yard\\", "geox.list");
    EXPECT_EQ(list.count, static_cast<int32_t>(ParseGeoxList(std::string(original.begin(), original.end()), "").size()));
    m_data.Replace("Data/yard/geox.list", std::string("\r\n"));
    CapturedWarnings warnings;
    LoadGeoxList(list, "Data\\yard\\", "geox.list");
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(warnings.About("Data\\yard\\geox.list"),
              "Data\\yard\\geox.list: lists no meshes; the folder's mesh list stays empty");
}

TEST_F(DamagedLists, AFileAListNamesThatCannotBeReadIsNamedWithItsList)
{
    const std::vector<uint8_t> meshes = m_data.Original("Data/yard/geox.list");
    m_data.Replace("Data/yard/geox.list", std::string(meshes.begin(), meshes.end()) + "Gone.geox\r\n");
    const size_t line = ParseGeoxList(std::string(meshes.begin(), meshes.end()), "").size() + 1;
    GeoxList list;
    CapturedBoxes boxes;
    EXPECT_EQ(FatalMessage([&] { LoadGeoxList(list, "Data\\yard\\", "geox.list"); }),
              "Data\\yard\\gone.geox: cannot open (No such file or directory) (line " + std::to_string(line) +
                  " of Data\\yard\\geox.list)");

    m_data.Replace("Data/yard/textures.ini", std::string("[texture0]\r\nname=a\r\n[texture4]\r\nname=gone\r\n"));
    m_data.Replace("Data/yard/a.jpg", m_data.Original("Data/textures/grassbottom.jpg"));
    auto library = std::make_unique<TextureLibrary>();
    EXPECT_EQ(FatalMessage([&] { LoadTextureList(*library, "yard.", "Data\\yard\\textures.ini", "Data\\yard\\"); }),
              "Data\\yard\\gone.jpg: cannot open (No such file or directory) (texture4 of Data\\yard\\textures.ini)");
    EXPECT_EQ(library->count, 1);
}

TEST_F(DamagedLists, ThePieceWithoutItsGlobalTextureListPlaysAndSaysWhy)
{
    m_data.Remove("Data/globaltextures.ini");
    const CommandResult run = RunCommand(
        LanternProgram() + " --log shot 1000 frame.png --data '" + m_data.Root().string() + "'", m_data.Root());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string warning = "warning: Data\\globaltextures.ini: texture list is missing; no textures are loaded from it";
    EXPECT_NE(run.output.find(warning + "\n"), std::string::npos) << run.output;
    EXPECT_NE(ReadText(m_data.Root() / "loading.log").find(" : " + warning + "\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(m_data.Root() / "frame.png"));
}

} // namespace
