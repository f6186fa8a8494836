// Outputs of every command: what stands at an output path survives a failed run, a folder, FIFO
// or other special file there is refused before anything is written (and before long work), and
// a finished file replaces what stood there in one step, leaving nothing else behind.
#include "support/commands.h"
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "base/files.h"
#include "render/lum_camera.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t EntriesIn(const std::filesystem::path& folder)
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class Outputs : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (m_folder.Path() / name).string(); }
    // A file, a folder and a FIFO standing at output paths; the file's text is "precious".
    void MakeTargets()
    {
        m_folder.Write("kept.out", std::string("precious"));
        std::filesystem::create_directory(m_folder.Path() / "folder.out");
        ASSERT_EQ(::mkfifo(Path("fifo.out").c_str(), 0600), 0);
    }
    // Runs the command for each kind of target: the folder and the FIFO are refused naming
    // them; the folder stays, and nothing is left beside them.
    void ExpectSpecialTargetsRefused(const std::string& command)
    {
        for (const auto& [target, fault] : {std::pair{"folder.out", "cannot write (it is a directory)"},
                                            std::pair{"fifo.out", "cannot write (not a regular file)"}}) {
            const size_t entries = EntriesIn(m_folder.Path());
            const CommandResult run = RunCommand(command + " '" + Path(target) + "'", m_folder.Path(), 60);
            EXPECT_FALSE(run.timedOut) << command << " " << target;
            EXPECT_EQ(run.exitCode, 1) << command << " " << target << ": " << run.output;
            EXPECT_NE(run.output.find(Path(target) + ": " + fault), std::string::npos) << run.output;
            EXPECT_EQ(EntriesIn(m_folder.Path()), entries) << "nothing left behind by " << command;
        }
        EXPECT_TRUE(std::filesystem::is_directory(m_folder.Path() / "folder.out"));
    }
    TempDir m_folder;
};

TEST_F(Outputs, ShotRefusesSpecialFilesFirstAndKeepsAFileWhenItFails)
{
    MakeTargets();
    DataCopy broken;
    broken.Remove("Data/plane.geox");
    const std::string brokenData = " --data '" + broken.Root().string() + "'";
    // The refusal comes before the start-up: the broken data is never reached.
    ExpectSpecialTargetsRefused(LanternProgram() + brokenData + " shot 1000");

    const CommandResult nowhere = RunCommand(LanternProgram() + brokenData + " shot 1000 no/such/frame.png", m_folder.Path());
    EXPECT_EQ(nowhere.exitCode, 1) << nowhere.output;
    EXPECT_NE(nowhere.output.find("no/such/frame.png: cannot write (its folder does not exist)"), std::string::npos)
        << nowhere.output;

    const CommandResult failed = RunCommand(LanternProgram() + brokenData + " shot 1000 kept.out", m_folder.Path());
    EXPECT_EQ(failed.exitCode, 1) << failed.output;
    EXPECT_NE(failed.output.find("Data\\plane.geox"), std::string::npos) << failed.output;
    EXPECT_EQ(ReadText(Path("kept.out")), "precious");

    const CommandResult done =
        RunCommand(LanternProgram() + " --data '" LANTERN_BUILD_DIR "' shot 1000 kept.out", m_folder.Path());
    EXPECT_EQ(done.exitCode, 0) << done.output;
    EXPECT_EQ(ReadText(Path("kept.out")).substr(1, 3), "PNG");
    EXPECT_EQ(EntriesIn(m_folder.Path()), 3u);
}

TEST_F(Outputs, PackAndUnpackReplaceWholeOrNotAtAll)
{
    MakeTargets();
    m_folder.Write("input.bin", std::string(5000, 'q'));
    ExpectSpecialTargetsRefused(ToolProgram() + " pack input.bin");
    ExpectSpecialTargetsRefused(ToolProgram() + " unpack " + LANTERN_BUILD_DIR "/Data/loader.jpg.packed");

    // A failed pack or unpack leaves the file as it was.
    CommandResult run = RunCommand(ToolProgram() + " pack missing.bin kept.out", m_folder.Path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(ReadText(Path("kept.out")), "precious");
    ASSERT_EQ(RunCommand(ToolProgram() + " pack input.bin good.packed", m_folder.Path()).exitCode, 0);
    const std::string packed = ReadText(Path("good.packed"));
    m_folder.Write("cut.packed", packed.substr(0, packed.size() - 3));
    run = RunCommand(ToolProgram() + " unpack cut.packed kept.out", m_folder.Path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("cut.packed: "), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(Path("kept.out")), "precious");

    // Finished, they replace it.
    ASSERT_EQ(RunCommand(ToolProgram() + " unpack good.packed kept.out", m_folder.Path()).exitCode, 0);
    EXPECT_EQ(ReadText(Path("kept.out")), std::string(5000, 'q'));
    ASSERT_EQ(RunCommand(ToolProgram() + " pack input.bin kept.out", m_folder.Path()).exitCode, 0);
    EXPECT_EQ(ReadText(Path("kept.out")), packed);
    EXPECT_EQ(EntriesIn(m_folder.Path()), 6u);
}

TEST_F(Outputs, MusicAndGenRefuseBadPathsBeforeTheirLongWork)
{
    MakeTargets();
    ExpectSpecialTargetsRefused(ToolProgram() + " music");

    // DIR/Data must be a folder; a file there is kept.
    m_folder.Write("gen/Data", std::string("precious"));
    CommandResult run = RunCommand(ToolProgram() + " gen --quiet gen", m_folder.Path(), 60);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("gen/Data: cannot write the data set into it (not a folder)"), std::string::npos)
        << run.output;
    EXPECT_EQ(ReadText(Path("gen/Data")), "precious");

    // The soundtrack comes last; a folder in its place is refused before anything is made.
    std::filesystem::create_directories(m_folder.Path() / "gen2/Data/soundtrack.ogg");
    run = RunCommand(ToolProgram() + " gen --quiet gen2", m_folder.Path(), 60);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("gen2/Data/soundtrack.ogg: cannot write (it is a directory)"), std::string::npos)
        << run.output;
    EXPECT_EQ(EntriesIn(m_folder.Path() / "gen2/Data"), 1u) << "nothing was written";
}

TEST_F(Outputs, TheRecordedCameraFileAndTheLogAreNeverSpecialFiles)
{
    MakeTargets();
    static CameraPath path{};
    ClearCameraPath(path);
    ASSERT_TRUE(AppendCameraKey(CameraRecord{70, 0, 0, -10, 0, 0, 10, 0, 10, 0}, path));
    EXPECT_EQ(FatalMessage([&] { SaveCameraPath(path, Path("folder.out")); }),
              Path("folder.out") + ": cannot write (it is a directory)");
    SaveCameraPath(path, Path("kept.out"));
    EXPECT_EQ(ReadText(Path("kept.out")).size(), 40u);

    // A FIFO in place of "loading.log" would hold the load for ever; it is refused by name.
    ASSERT_EQ(::mkfifo(Path("loading.log").c_str(), 0600), 0);
    const CommandResult run =
        RunCommand(LanternProgram() + " --log --data '" LANTERN_BUILD_DIR "' shot 0 frame.png", m_folder.Path(), 60);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("loading.log: cannot open (not a regular file)"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "frame.png"));
}

} // namespace
