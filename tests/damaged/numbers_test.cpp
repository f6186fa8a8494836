// Numbers no mesh or camera of the piece can hold, written into copies of the generated
// files: NaN, infinities, coordinates beyond 1e7, a camera with no projection or direction. Each is refused
// naming the file and the vertex or record, and what was loaded before stays; damage to what
// is never read stays harmless.
#include "support/commands.h"
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "base/byte_order.h"
#include "base/files.h"
#include "render/lum_camera.h"
#include "resources/lum_geox.h"
#include "resources/lum_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

class DamagedNumbers : public ::testing::Test {
protected:
    void SetUp() override
    {
        LogEnabled = false;
        SetDataRoot(m_data.Root().string());
    }
    void TearDown() override { SetDataRoot("."); }
    DataCopy m_data;
};

TEST_F(DamagedNumbers, GeoxVerticesMustBeFiniteAndWithinTheBound)
{
    const std::vector<uint8_t> original = m_data.Original("Data/plane.geox");
    const int32_t vertexCount = static_cast<int32_t>(ReadU32LE(original.data()));
    ASSERT_GT(vertexCount, 8);
    const int last = vertexCount - 1;
    const struct {
        int vertex;
        int field; // x, y, z, u, v
        float value;
        std::string fault;
    } cases[] = {
        {0, 0, kNaN, "vertex 0 has a non-finite x (nan)"},
        {last, 2, kInfinity, "vertex " + std::to_string(last) + " has a non-finite z (inf)"},
        {3, 3, -kInfinity, "vertex 3 has a non-finite u (-inf)"},
        {5, 1, 1.5e7f, "vertex 5 has y = 1.5e+07, beyond the bound of 1e7"},
        {7, 4, -2e9f, "vertex 7 has v = -2e+09, beyond the bound of 1e7"},
    };
    GeoxMesh mesh;
    LoadGeox(mesh, "Data\\plane.geox");
    const GeoxVertex before = mesh.vertices[0];
    for (const auto& test : cases) {
        std::vector<uint8_t> bytes = original;
        PatchFloat(bytes, 8 + 20 * static_cast<size_t>(test.vertex) + 4 * static_cast<size_t>(test.field), test.value);
        m_data.Replace("Data/plane.geox", bytes);
        EXPECT_EQ(FatalMessage([&] { LoadGeox(mesh, "Data\\plane.geox"); }), "Data\\plane.geox: " + test.fault);
        EXPECT_EQ(mesh.vertexCount, vertexCount);
        EXPECT_EQ(mesh.vertices[0].x, before.x) << "the mesh loaded before is kept";
    }

    // The bound itself is a number a mesh may hold.
    std::vector<uint8_t> edge = original;
    PatchFloat(edge, 8, -1e7f);
    m_data.Replace("Data/plane.geox", edge);
    LoadGeox(mesh, "Data\\plane.geox");
    EXPECT_EQ(mesh.vertices[0].x, -1e7f);
}

TEST_F(DamagedNumbers, TextGeoxVerticesMustBeWithinTheBoundAndTheLineIsNamed)
{
    const std::vector<uint8_t> original = m_data.Original("Data/seasonwindow/FRAME.TEXTGEOX");
    std::string text(original.begin(), original.end());
    // Line 4 holds vertex 1; its first number becomes one far beyond any mesh.
    size_t line4 = 0;
    for (int line = 1; line < 4; ++line) line4 = text.find('\n', line4) + 1;
    text.replace(line4, text.find(' ', line4) - line4, "3e12");
    m_data.Replace("Data/seasonwindow/FRAME.TEXTGEOX", text);
    GeoxMesh mesh;
    EXPECT_EQ(FatalMessage([&] { LoadTextGeox(mesh, "Data\\seasonwindow\\frame.textgeox"); }),
              "Data\\seasonwindow\\frame.textgeox: line 4: vertex 1 has x = 3e+12, beyond the bound of 1e7");
    EXPECT_EQ(mesh.vertexCount, 0);

    text.replace(line4, 4, "nan");
    m_data.Replace("Data/seasonwindow/FRAME.TEXTGEOX", text);
    EXPECT_NE(FatalMessage([&] { LoadTextGeox(mesh, "Data\\seasonwindow\\frame.textgeox"); })
                  .find("frame.textgeox: line 4: invalid number \"nan\""),
              std::string::npos);
}

// Record k, field f of a camera file.
size_t FieldOffset(int record, int field)
{
    return 40 * static_cast<size_t>(record) + 4 * static_cast<size_t>(field);
}

TEST_F(DamagedNumbers, CameraKeysNeedFiniteFieldsAFieldOfViewAnUpVectorAndAnEyeApartFromTheCentre)
{
    const std::vector<uint8_t> original = m_data.Original("Data/dead.camera");
    ASSERT_EQ(original.size(), 49u * 40);
    auto withField = [&](int record, int field, float value) {
        std::vector<uint8_t> bytes = original;
        PatchFloat(bytes, FieldOffset(record, field), value);
        return bytes;
    };
    auto withRecord = [&](int record, const CameraRecord& key) {
        std::vector<uint8_t> bytes = original;
        for (int f = 0; f < 10; ++f) PatchFloat(bytes, FieldOffset(record, f), key.*CameraFields[f]);
        return bytes;
    };
    CameraRecord flat{60, 1, 2, 3, 4, 5, 6, 0, 0, 0};
    CameraRecord blind{60, 1, 2, 3, 1, 2, 3, 0, 1, 0};
    const struct {
        std::vector<uint8_t> bytes;
        std::string fault;
    } cases[] = {
        {withField(3, 2, kNaN), "record 3 has a non-finite eyeY (nan)"},
        {withField(1, 0, kInfinity), "record 1 has a non-finite fov (inf)"},
        {withField(2, 0, 0.0f), "record 2 has fov = 0, outside 0 to 180 degrees"},
        {withField(30, 0, 3e38f), "record 30 has fov = 3e+38, outside 0 to 180 degrees"},
        {withField(48, 6, 2e7f), "record 48 has centerZ = 2e+07, beyond the bound of 1e7"},
        {withField(12, 8, -kInfinity), "record 12 has a non-finite upY (-inf)"},
        {withRecord(10, flat), "record 10 has a zero up vector"},
        {withRecord(20, blind), "record 20 has its eye at its centre (1, 2, 3)"},
        {std::vector<uint8_t>(original.begin(), original.begin() + 79), "1 camera record; a path needs the placeholder record and at least one key"},
        {{}, "0 camera records; a path needs the placeholder record and at least one key"},
    };
    static CameraPath path{};
    LoadCameraPath(path, "data\\dead.camera");
    const CameraRecord key = path.keys[1];
    for (const auto& test : cases) {
        m_data.Replace("Data/dead.camera", test.bytes);
        EXPECT_EQ(FatalMessage([&] { LoadCameraPath(path, "data\\dead.camera"); }), "data\\dead.camera: " + test.fault);
        EXPECT_EQ(path.count, 49) << "the path loaded before is kept";
        EXPECT_EQ(path.keys[1].eyeX, key.eyeX);
    }

    // Record 0 is never evaluated: whatever it holds, the file loads.
    std::vector<uint8_t> placeholder = original;
    for (int f = 0; f < 10; ++f) PatchFloat(placeholder, FieldOffset(0, f), kNaN);
    m_data.Replace("Data/dead.camera", placeholder);
    LoadCameraPath(path, "data\\dead.camera");
    EXPECT_EQ(path.count, 49);
}

TEST_F(DamagedNumbers, TwoOrThreeRecordsAreAFixedCamera)
{
    const std::vector<uint8_t> original = m_data.Original("Data/dead.camera");
    static CameraPath path{};
    for (const size_t records : {2u, 3u}) {
        m_data.Replace("Data/dead.camera",
                       std::vector<uint8_t>(original.begin(), original.begin() + 40 * static_cast<long>(records)));
        LoadCameraPath(path, "data\\dead.camera");
        EXPECT_EQ(path.count, static_cast<int32_t>(records));
        for (const float x : {0.0f, 0.5f, 0.99f}) {
            CameraRecord camera{};
            EvaluateCameraPath(camera, path, x);
            EXPECT_EQ(camera.eyeX, ReadFloatLE(original.data() + FieldOffset(1, 1))) << records << " records at " << x;
            EXPECT_EQ(camera.fov, ReadFloatLE(original.data() + FieldOffset(1, 0)));
        }
    }
}

TEST_F(DamagedNumbers, TheThroatPathNeedsOnlyItsEyePositions)
{
    const std::vector<uint8_t> original = m_data.Original("Data/throat.path");
    static CameraPath path{};
    // Fields the curve never reads may hold anything, and the eye may sit on the centre.
    std::vector<uint8_t> unread = original;
    for (const int field : {0, 4, 5, 6, 7, 8, 9}) PatchFloat(unread, FieldOffset(5, field), kNaN);
    m_data.Replace("Data/throat.path", unread);
    LoadCameraPath(path, "data\\throat.path", CameraFileUse::EyePath);
    EXPECT_GT(path.count, 4);
    for (const float x : {0.0f, 0.25f, 0.5f, 0.75f, 0.999f}) {
        CameraRecord point{};
        EvaluateCameraPath(point, path, x);
        EXPECT_TRUE(std::isfinite(point.eyeX) && std::isfinite(point.eyeY) && std::isfinite(point.eyeZ)) << x;
    }
    // As a camera the same file is refused: its fov is read there.
    EXPECT_EQ(FatalMessage([&] { LoadCameraPath(path, "data\\throat.path"); }),
              "data\\throat.path: record 5 has a non-finite fov (nan)");

    for (const auto& [field, value, fault] :
         {std::tuple{3, kNaN, std::string("record 5 has a non-finite eyeZ (nan)")},
          std::tuple{1, -3e7f, std::string("record 5 has eyeX = -3e+07, beyond the bound of 1e7")}}) {
        std::vector<uint8_t> bytes = original;
        PatchFloat(bytes, FieldOffset(5, field), value);
        m_data.Replace("Data/throat.path", bytes);
        EXPECT_EQ(FatalMessage([&] { LoadCameraPath(path, "data\\throat.path", CameraFileUse::EyePath); }),
                  "data\\throat.path: " + fault);
    }
}

TEST_F(DamagedNumbers, BareEyesOnTheThroatCurveAndQuotedCupNamesPlayTheSamePictures)
{
    auto shots = [&] {
        std::vector<std::vector<uint8_t>> pictures;
        for (const char* scene : {"killthroat", "cup"})
            for (const char* ms : {"20000", "70000"}) {
                const CommandResult run = RunCommand(LanternProgram() + " shot " + ms + " frame.png --scene " + scene +
                                                         " --data '" + m_data.Root().string() + "'",
                                                     m_data.Root());
                EXPECT_EQ(run.exitCode, 0) << run.output;
                pictures.push_back(ReadFileBytes((m_data.Root() / "frame.png").string()));
            }
        return pictures;
    };
    const std::vector<std::vector<uint8_t>> pristine = shots();

    // No field of view, no up vector and the eye on the centre in every key of the curve.
    std::vector<uint8_t> throat = m_data.Original("Data/throat.path");
    const int records = static_cast<int>(throat.size() / 40);
    for (int record = 1; record < records; ++record) {
        for (const int field : {0, 7, 8, 9}) PatchFloat(throat, FieldOffset(record, field), 0.0f);
        for (int axis = 0; axis < 3; ++axis)
            std::copy_n(throat.begin() + static_cast<long>(FieldOffset(record, 1 + axis)), 4,
                        throat.begin() + static_cast<long>(FieldOffset(record, 4 + axis)));
    }
    m_data.Replace("Data/throat.path", throat);
    // Every value of the cup's list in quotes, double and single.
    const std::vector<uint8_t> list = m_data.Original("Data/cup/textures.ini");
    std::string quoted, line;
    char quote = '"';
    std::istringstream lines(std::string(list.begin(), list.end()));
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            const size_t end = line.find_last_not_of('\r') + 1; // the list's lines end in CR LF
            line = line.substr(0, equals + 1) + quote + line.substr(equals + 1, end - equals - 1) + quote + line.substr(end);
            quote = quote == '"' ? '\'' : '"';
        }
        quoted += line + "\n";
    }
    ASSERT_NE(quoted.find("filename='mug.jpg'"), std::string::npos) << quoted;
    ASSERT_NE(quoted.find("name=\"saucer\""), std::string::npos) << quoted;
    m_data.Replace("Data/cup/textures.ini", quoted);

    EXPECT_EQ(shots(), pristine);
    const CommandResult check = RunCommand(ToolProgram() + " check '" + m_data.Root().string() + "'", m_data.Root());
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_EQ(check.output.find("throat"), std::string::npos) << check.output;
    EXPECT_EQ(check.output.find("cup"), std::string::npos) << check.output;
}

TEST_F(DamagedNumbers, ThePieceRefusesADamagedCameraAtStartUpNamingFileAndRecord)
{
    std::vector<uint8_t> bytes = m_data.Original("Data/dead.camera");
    PatchFloat(bytes, FieldOffset(7, 1), kNaN);
    m_data.Replace("Data/dead.camera", bytes);
    const CommandResult run =
        RunCommand(LanternProgram() + " shot 1000 frame.png --data '" + m_data.Root().string() + "'", m_data.Root());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("data\\dead.camera: record 7 has a non-finite eyeX (nan)"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(m_data.Root() / "frame.png"));
}

} // namespace
