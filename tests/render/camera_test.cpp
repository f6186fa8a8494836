// Camera paths, their files, the moves, the default camera and the random source.
#include "render/lum_camera.h"
#include "base/random.h"
#include "render/lum_globals.h"
#include "render/lum_spline.h"

#include "base/error.h"
#include "gl/gl.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

namespace {

// A record whose ten fields are base, base + 1, ... base + 9.
CameraRecord Ramp(float base)
{
    CameraRecord camera{};
    for (int f = 0; f < 10; ++f) camera.*CameraFields[f] = base + static_cast<float>(f);
    return camera;
}

void ExpectSameRecord(const CameraRecord& actual, const CameraRecord& expected)
{
    EXPECT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
        << "fov " << actual.fov << " vs " << expected.fov << ", eyeX " << actual.eyeX << " vs "
        << expected.eyeX;
}

std::string RecordBytes(const std::vector<CameraRecord>& records)
{
    return std::string(reinterpret_cast<const char*>(records.data()),
                       records.size() * sizeof(CameraRecord));
}

TEST(RandomSource, FirstDrawsFromTheStartUpSeed)
{
    // Worked by hand with exact integers, seed := seed * 134775813 + 1 mod 2^32 and
    // draw := (seed * 1000000) >> 32:
    //   881275191 * 134775813 + 1 = 118774580343755284, mod 2^32 = 4256977428;
    //     4256977428 * 1000000 = 4256977428000000, >> 32 = 991154
    //   4256977428 * 134775813 + 1 = 573737593781348965, mod 2^32 = 1067444837;
    //     1067444837000000 >> 32 = 248533
    //   1067444837 * 134775813 + 1 = 143865745739327482, mod 2^32 = 774088698;
    //     774088698000000 >> 32 = 180231
    EXPECT_EQ(StartUpRandomSeed, 881275191u);
    SetRandomSeed(StartUpRandomSeed);
    EXPECT_EQ(Random01(), 991154 / 1000000.0);
    EXPECT_EQ(Random01(), 248533 / 1000000.0);
    EXPECT_EQ(Random01(), 180231 / 1000000.0);

    // The seed alone decides the sequence; draws below other ranges use the same state.
    SetRandomSeed(StartUpRandomSeed);
    EXPECT_EQ(RandomBelow(1000000), 991154u);
    SetRandomSeed(0);
    EXPECT_EQ(RandomBelow(1u << 31), 0u);        // seed 1: (1 * 2^31) >> 32
    EXPECT_EQ(RandomBelow(1u << 31), 67387907u); // seed 134775814: 134775814 * 2^31 >> 32
}

TEST(Hermite, PassesThroughItsEndsWithForwardDifferenceTangents)
{
    EXPECT_EQ(HermiteValue(0, 3.5f, -2, 9), 3.5f);
    EXPECT_EQ(HermiteValue(1, 3.5f, -2, 9), -2.0f);
    // t = 1/2: h00 = 1/2, h10 = 1/8, h01 = 1/2, h11 = -1/8, so 0.375 p0 + 0.75 p1 - 0.125 p2.
    EXPECT_EQ(HermiteValue(0.5f, 8, 16, 32), 11.0f);
    EXPECT_EQ(HermiteValue(0.5f, 0, 8, 0), 6.0f);
    // Keys on a line give the line: the tangents are the step itself.
    EXPECT_EQ(HermiteValue(0.25f, 1, 2, 3), 1.25f);
    // t = float(0.3): exact rational evaluation is 1.2370000079870..., nearest float
    // 0x1.3cac08p+0.
    EXPECT_EQ(HermiteValue(0.3f, 1, 2, 4), 0x1.3cac08p+0f);
}

TEST(CameraPathEvaluation, FewerThanFourRecordsGiveSlotOne)
{
    static CameraPath path{};
    CameraRecord out = Ramp(5);
    EvaluateCameraPath(out, path, 0.3f);
    ExpectSameRecord(out, CameraRecord{}); // an empty, fresh path: ten zeros

    path.keys[1] = Ramp(10);
    path.keys[2] = Ramp(20);
    path.keys[3] = Ramp(30);
    for (int32_t count : {1, 2, 3})
        for (float x : {0.0f, 0.5f, 0.99f}) {
            path.count = count;
            EvaluateCameraPath(out, path, x);
            ExpectSameRecord(out, Ramp(10));
        }
}

TEST(CameraPathEvaluation, FourRecordsSplitIntoTwoSegments)
{
    static CameraPath path{};
    path.count = 4;
    path.keys[1].fov = 8;
    path.keys[2].fov = 16;
    path.keys[3].fov = 32; // slot 4 stays zero: beyond the keys, only an end tangent
    CameraRecord out{};
    EvaluateCameraPath(out, path, 0.25f); // segment 1 at t = 1/2: 3 + 12 - 4
    EXPECT_EQ(out.fov, 11.0f);
    EvaluateCameraPath(out, path, 0.75f); // segment 2 at t = 1/2: 6 + 24 - 0
    EXPECT_EQ(out.fov, 30.0f);
    EvaluateCameraPath(out, path, 0.5f); // start of segment 2
    EXPECT_EQ(out.fov, 16.0f);
    EvaluateCameraPath(out, path, 0.0f);
    EXPECT_EQ(out.fov, 8.0f);
}

TEST(CameraPathEvaluation, KeysAreReachedAtMultiplesOfTheStep)
{
    static CameraPath path{};
    path.count = 9;
    for (int k = 1; k <= 9; ++k) path.keys[k] = Ramp(static_cast<float>(k * k));
    CameraRecord out{};
    EvaluateCameraPath(out, path, 0.0f);
    ExpectSameRecord(out, path.keys[1]); // exactly
    for (int k = 1; k <= 6; ++k) {
        EvaluateCameraPath(out, path, static_cast<float>(k) / 7);
        for (int f = 0; f < 10; ++f)
            EXPECT_NEAR(out.*CameraFields[f], path.keys[k + 1].*CameraFields[f], 1e-4)
                << "k " << k << " field " << f;
    }
}

TEST(CameraPathEvaluation, StaysInsideTheSlotsForAnyFraction)
{
    // Keys on a line (slot k holds k in every field): evaluation gives 1 + (n-2) x inside
    // [0, 1), and the first and last segments carry the line on outside it.
    static CameraPath path{};
    for (int k = 0; k < PathSlotCount; ++k) path.keys[k].fov = static_cast<float>(k);
    path.count = MaxPathRecords;
    CameraRecord out{};
    const float justBelowOne = std::nextafter(1.0f, 0.0f);
    for (float x : {0.0f, 0.37f, justBelowOne, -0.5f, 1.0f, 2.0f}) {
        EvaluateCameraPath(out, path, x);
        EXPECT_NEAR(out.fov, 1 + 97.0 * x, 1e-3 * (1 + std::fabs(x))) << "x " << x;
    }
    EvaluateCameraPath(out, path, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(std::isnan(out.fov));

    // A count beyond the storage is read as the largest path that fits.
    path.count = 1000000;
    EvaluateCameraPath(out, path, justBelowOne);
    EXPECT_NEAR(out.fov, 98.0f, 1e-3);
}

// The eye-only evaluation of a path many times a frame gives exactly the eye that
// EvaluateCameraPath gives, on short paths (slot 1 as it is), at the segment edges and just
// below them, and outside [0, 1).
TEST(CameraPathEvaluation, EyeAloneMatchesTheWholeEvaluationBitForBit)
{
    static CameraPath path{};
    for (int k = 0; k < PathSlotCount; ++k)
        for (int f = 0; f < 10; ++f)
            path.keys[k].*CameraFields[f] = std::sin(0.7f * static_cast<float>(k * 10 + f)) * 100.0f + static_cast<float>(k);
    for (int count : {0, 3, 4, 9, 48, MaxPathRecords}) {
        path.count = count;
        const PathSegments segments(path);
        std::vector<float> fractions = {0.0f, std::nextafter(1.0f, 0.0f), -0.25f, 1.5f,
                                        std::numeric_limits<float>::quiet_NaN()};
        for (int i = 0; i <= 997; ++i) fractions.push_back(static_cast<float>(i) / 997);
        for (int k = 1; k < std::max(count - 2, 1); ++k) {
            const float edge = static_cast<float>(k) / static_cast<float>(count - 2);
            fractions.push_back(edge);
            fractions.push_back(std::nextafter(edge, 0.0f));
        }
        for (float x : fractions) {
            CameraRecord expected{};
            EvaluateCameraPath(expected, path, x);
            float eye[3];
            segments.EvaluateEye(x, eye);
            EXPECT_EQ(std::memcmp(eye, &expected.eyeX, sizeof eye), 0) << "count " << count << " x " << x;
        }
    }
}

class CameraFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CameraFileTest, LoadsWholeRecordsAndIgnoresTrailingBytes)
{
    std::vector<CameraRecord> records;
    for (int k = 0; k < 10; ++k) records.push_back(Ramp(static_cast<float>(10 * k)));
    const std::string file = dir.Write("path.camera", RecordBytes(records) + std::string(39, '\x7f'));
    ASSERT_EQ(std::filesystem::file_size(file), 439u);

    static CameraPath path{};
    path.keys[10] = Ramp(-1); // slot n keeps what the storage held
    LoadCameraPath(path, file);
    EXPECT_EQ(path.count, 10);
    for (int k = 0; k < 10; ++k) ExpectSameRecord(path.keys[k], records[k]);
    ExpectSameRecord(path.keys[10], Ramp(-1));
}

TEST_F(CameraFileTest, RefusesMoreRecordsThanAPathHolds)
{
    static CameraPath path{};
    path.count = 5;
    path.keys[0] = Ramp(3);

    std::vector<CameraRecord> records;
    for (int k = 0; k < 99; ++k) records.push_back(Ramp(static_cast<float>(k)));
    const std::string fits = dir.Write("fits.camera", RecordBytes(records) + std::string(39, '\0'));
    LoadCameraPath(path, fits);
    EXPECT_EQ(path.count, 99);

    path.count = 5;
    path.keys[0] = Ramp(3);
    const std::string tooLong = dir.Write("long.camera", std::string(100 * 40, '\0'));
    try {
        LoadCameraPath(path, tooLong);
        FAIL() << "a 100-record file was loaded";
    } catch (const FatalError& error) {
        EXPECT_NE(std::string(error.what()).find("long.camera"), std::string::npos) << error.what();
    }
    EXPECT_EQ(path.count, 5); // nothing half read
    ExpectSameRecord(path.keys[0], Ramp(3));

    EXPECT_THROW(LoadCameraPath(path, (dir.Path() / "missing.camera").string()), FatalError);
    EXPECT_EQ(path.count, 5);
}

TEST_F(CameraFileTest, SavingAfterThreeAppendsWritesThePlaceholderAndTwoKeys)
{
    static CameraPath path{};
    path.keys[0] = Ramp(100); // never filled by appending: written as it is
    ClearCameraPath(path);
    ASSERT_TRUE(AppendCameraKey(Ramp(1), path));
    ASSERT_TRUE(AppendCameraKey(Ramp(2), path));
    ASSERT_TRUE(AppendCameraKey(Ramp(3), path));
    EXPECT_EQ(path.count, 3);
    ExpectSameRecord(path.keys[3], Ramp(3));

    const std::string file = (dir.Path() / "default.camera").string();
    dir.Write("default.camera", std::string(1000, 'x')); // made anew, not overwritten in place
    SaveCameraPath(path, file);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, RecordBytes({Ramp(100), Ramp(1), Ramp(2)}));
    EXPECT_EQ(bytes.size(), 120u);
}

TEST_F(CameraFileTest, ARecordingThatCouldNotLoadBackIsNotWritten)
{
    static CameraPath path{};
    ClearCameraPath(path);
    for (int k = 1; k <= MaxRecordedKeys + 1; ++k) ASSERT_TRUE(AppendCameraKey(Ramp(static_cast<float>(k)), path));
    const std::string file = dir.Write("recorded.camera", "old");
    try {
        SaveRecordedCameraPath(path, file);
        FAIL() << "a recording of " << path.count << " keys was written";
    } catch (const FatalError& error) {
        EXPECT_NE(std::string(error.what()).find("recorded.camera"), std::string::npos) << error.what();
    }
    EXPECT_EQ(std::filesystem::file_size(file), 3u);
}

TEST(CameraPathKeys, AFullPathRefusesAnotherKey)
{
    static CameraPath path{};
    ClearCameraPath(path);
    for (int k = 1; k <= MaxPathRecords; ++k)
        ASSERT_TRUE(AppendCameraKey(Ramp(static_cast<float>(k)), path));
    EXPECT_EQ(path.count, 99);
    EXPECT_FALSE(AppendCameraKey(Ramp(-5), path));
    EXPECT_EQ(path.count, 99);
    ExpectSameRecord(path.keys[99], Ramp(99));
}

CameraRecord Looking(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ)
{
    CameraRecord camera{};
    camera.fov = 45;
    SetCameraPosition(camera, eyeX, eyeY, eyeZ, centerX, centerY, centerZ, 0, 1, 0);
    return camera;
}

TEST(CameraMoves, ShiftEyeAndCentreTogether)
{
    CameraRecord camera = Looking(0, 0, 0, 1, 5, 2);
    RiseCamera(camera, 3);
    EXPECT_EQ(camera.eyeY, 3);
    EXPECT_EQ(camera.centerY, 8);

    // The step is s times the horizontal part of v, not normalised; heights stay.
    MoveCamera(camera, 2);
    EXPECT_EQ(camera.eyeX, 2);
    EXPECT_EQ(camera.eyeZ, 4);
    EXPECT_EQ(camera.centerX, 3);
    EXPECT_EQ(camera.centerZ, 6);
    EXPECT_EQ(camera.eyeY, 3);
    EXPECT_EQ(camera.fov, 45);

    CameraRecord down = Looking(1, 10, 2, 1, 0, 2);
    MoveCamera(down, 5);
    ExpectSameRecord(down, Looking(1, 10, 2, 1, 0, 2));

    // up x v with up = (0, 1, 0) and v = (0, 0, 2): side = (2, 0, 0).
    CameraRecord strafed = Looking(0, 0, 0, 0, 0, 2);
    StrafeCamera(strafed, 3);
    ExpectSameRecord(strafed, Looking(6, 0, 0, 6, 0, 2));
}

TEST(CameraMoves, RotationsTurnTheCentreAboutTheEye)
{
    const CameraRecord start = Looking(1, 2, 3, 1, 4, 4); // v = (0, 2, 1)
    CameraRecord camera = start;
    RotateCamera(camera, 0, 0, 0);
    ExpectSameRecord(camera, start);

    const float quarter = static_cast<float>(M_PI / 2);
    RotateCamera(camera, 0, quarter, 0); // about the vertical: (0, ., 1) -> (-1, ., 0)
    EXPECT_NEAR(camera.centerX, 0, 1e-6);
    EXPECT_NEAR(camera.centerZ, 3, 1e-6);
    EXPECT_EQ(camera.centerY, 4);

    // X and Y together: centerY from the X turn, centerX and centerZ from the Y turn, both
    // from the original v.
    camera = start;
    RotateCamera(camera, quarter, quarter, 0);
    EXPECT_NEAR(camera.centerY, 2 - 1, 1e-6); // eyeY + cos*vy - sin*vz
    EXPECT_NEAR(camera.centerX, 1 - 1, 1e-6); // eyeX + cos*vx - sin*vz
    EXPECT_NEAR(camera.centerZ, 3 + 0, 1e-6); // eyeZ + sin*vx + cos*vz
    EXPECT_EQ(camera.eyeX, 1);

    camera = start;
    RotateCamera(camera, 0, 0, quarter); // about Z: centerX = eyeX + vy, centerY = eyeY - vx
    EXPECT_NEAR(camera.centerX, 3, 1e-6);
    EXPECT_NEAR(camera.centerY, 2, 1e-6);
    EXPECT_EQ(camera.centerZ, 4);
}

TEST(DefaultCamera, IsSetAtProgramStart)
{
    // No test in this program changes CurrentCamera or DefaultCameraPath.
    ExpectSameRecord(CurrentCamera, DefaultCamera());
    EXPECT_EQ(CurrentCamera.fov, 70);
    EXPECT_EQ(CurrentCamera.eyeZ, -10);
    EXPECT_EQ(CurrentCamera.centerZ, 10);
    EXPECT_EQ(CurrentCamera.upY, 10);
    EXPECT_EQ(CurrentCamera.eyeX + CurrentCamera.eyeY + CurrentCamera.centerX + CurrentCamera.centerY +
                  CurrentCamera.upX + CurrentCamera.upZ,
              0);
    EXPECT_EQ(DefaultCameraPath.count, 0);
}

class ApplyCameraTest : public GlTest {};

TEST_F(ApplyCameraTest, DefaultCameraLooksDownPlusZWithSeventyDegrees)
{
    glMatrixMode(GL_TEXTURE);
    ApplyCamera(DefaultCamera());
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    const double focal = 1 / std::tan(35 * M_PI / 180);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[0], focal / 1.33333333333, 1e-5);
    EXPECT_NEAR(projection[10], (99999 + 0.1) / (0.1 - 99999), 1e-6);
    EXPECT_NEAR(projection[14], 2 * 99999 * 0.1 / (0.1 - 99999), 1e-6);
    // The origin lies 10 ahead; world +X is to the left when looking along +Z with Y up.
    EXPECT_NEAR(modelview[12], 0, 1e-6);
    EXPECT_NEAR(modelview[13], 0, 1e-6);
    EXPECT_NEAR(modelview[14], -10, 1e-6);
    EXPECT_NEAR(modelview[0], -1, 1e-6);
    EXPECT_NEAR(modelview[5], 1, 1e-6);
    EXPECT_NEAR(modelview[10], -1, 1e-6);
}

} // namespace
