// lantern-tool unpack and geox as a user runs them: exact bytes out, and exit code 1 with
// a one-line message naming the file for anything malformed.
#include "lzhuf_encoder.h"
#include "support/commands.h"
#include "support/gl_context.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace {

CommandResult RunTool(const std::string& arguments)
{
    return RunCommand(ToolProgram() + " " + arguments, std::filesystem::current_path());
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(LANTERN_BUILD_DIR "/lantern-tool")) << "lantern-tool is not built";
    }
    std::string Path(const std::string& name) const { return (m_folder.Path() / name).string(); }
    TempDir m_folder;
};

TEST_F(ToolTest, UnpackWritesExactlyTheOriginalBytes)
{
    std::mt19937 random(11);
    std::vector<uint8_t> data(300000);
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(random() % 40 + (random() % 5 == 0 ? 100 : 0));
    std::array<uint8_t, 13> header;
    for (uint8_t& byte : header) byte = static_cast<uint8_t>(random());
    const LzhufEncoded packed = EncodeLzhufForTest(data, header);
    ASSERT_GT(packed.symbols, 3 * 32768);
    m_folder.Write("long.jpg.packed", packed.bytes);

    const CommandResult result = RunTool("unpack " + Path("long.jpg.packed") + " " + Path("long.jpg"));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(ReadBytes(Path("long.jpg")) == data);
}

TEST_F(ToolTest, UnpackRejectsDamagedFilesWithTheirName)
{
    const std::vector<uint8_t> data(5000, 'q');
    const std::vector<uint8_t> good = EncodeLzhufForTest(data).bytes;
    m_folder.Write("cut.packed", std::vector<uint8_t>(good.begin(), good.end() - 1));
    m_folder.Write("header.packed", std::vector<uint8_t>(good.begin(), good.begin() + 12));
    m_folder.Write("huge.packed", EncodeLzhufForTest(data, {}, 8000001u).bytes);
    m_folder.Write("negative.packed", EncodeLzhufForTest(data, {}, 0xFFFFFFF0u).bytes);
    for (const char* name : {"cut.packed", "header.packed", "huge.packed", "negative.packed", "absent.packed"}) {
        const CommandResult result = RunTool("unpack " + Path(name) + " " + Path("out.bin"));
        EXPECT_EQ(result.exitCode, 1) << name << ": " << result.output;
        EXPECT_EQ(result.output.rfind("lantern-tool: " + Path(name) + ": ", 0), 0u) << result.output;
        EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
    }
}

TEST_F(ToolTest, GeoxPrintsCountsAndBoundsOrRejectsTheFile)
{
    const float vertices[] = {-1, 2, 0.5f, 0, 0, 3, -4, 0, 1, 1};
    std::string bytes(8, '\0');
    bytes[0] = 2;
    bytes.append(reinterpret_cast<const char*>(vertices), sizeof vertices);
    m_folder.Write("two.geox", bytes);
    CommandResult result = RunTool("geox " + Path("two.geox"));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "vertices 2 triangles 0\nbounding box -1 -4 0 .. 3 2 0.5\n");

    m_folder.Write("Rock.TEXTGEOX", std::string("3\n1\n0 0 0 0 0\n1 0 0 0 0\n0 1 0 0 0\n0 1 2\n"));
    result = RunTool("geox " + Path("Rock.TEXTGEOX"));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.rfind("vertices 3 triangles 1\n", 0), 0u) << result.output;

    m_folder.Write("bad.textgeox", std::string("3\n1\n0 0 0 0 0\n1 0 0 0 0\n0 1 0 0 0\n0 1 7\n"));
    m_folder.Write("short.geox", bytes.substr(0, 20));
    for (const char* name : {"bad.textgeox", "short.geox"}) {
        result = RunTool("geox " + Path(name));
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_NE(result.output.find("lantern-tool: " + Path(name) + ": "), std::string::npos) << result.output;
    }
}

} // namespace
