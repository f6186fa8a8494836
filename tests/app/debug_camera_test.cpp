// The debug camera: keys once per frame or once per key-down, the digit table, mouse look in
// frame pixels, and the recording written to "default.camera" as a path through every key.
#include "app/debug_camera.h"
#include "app/globals.h"
#include "app/glwindow.h"
#include "base/files.h"
#include "platform/input.h"
#include "platform/window.h"
#include "render/lum_camera.h"
#include "render/lum_globals.h"
#include "support/gl_context.h"
#include "timeline/frame_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

void ExpectSameCamera(const CameraRecord& actual, const CameraRecord& expected)
{
    for (float CameraRecord::*field : CameraFields) EXPECT_EQ(actual.*field, expected.*field);
}

// Every control back to its start: keys up, the default camera, an empty recording.
class DebugCameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(Keys, 0, sizeof Keys);
        CurrentCamera = DefaultCamera();
        MoveSpeed = 0.01f;
        MouseLook = false;
        LastCursor = {0, 0};
        DebugCameraStep(false, {0, 0}); // forget where an earlier test left the cursor
        ClearCameraPath(DefaultCameraPath);
    }
    void TearDown() override { std::memset(Keys, 0, sizeof Keys); }
};

TEST_F(DebugCameraTest, HomeAndEndActOncePerKeyDownThroughAutoRepeatWhileArrowsActEveryFrame)
{
    // Home held for one second at 60 frames a second: the first key-down, then the
    // platform's repeats (after 500 ms, every 33 ms), each delivered before the next frame.
    KeyRepeater repeater;
    WindowProc(nullptr, WM_KEYDOWN, VK_HOME, 0);
    repeater.KeyDown(VK_HOME, 0);
    int keyDowns = 1;
    for (int frame = 1; frame <= 60; ++frame) {
        while (int key = repeater.NextRepeat(static_cast<uint32_t>(frame * 1000 / 60))) {
            WindowProc(nullptr, WM_KEYDOWN, static_cast<uintptr_t>(key), 0);
            ++keyDowns;
        }
        DebugCameraStep(false, {0, 0});
    }
    EXPECT_EQ(keyDowns, 17); // 0 ms, then 500, 533, ... 995 ms
    EXPECT_FLOAT_EQ(CurrentCamera.fov, 70.0f + 5.0f * keyDowns);
    EXPECT_FALSE(Keys[VK_HOME]);

    WindowProc(nullptr, WM_KEYDOWN, VK_END, 0);
    for (int frame = 0; frame < 10; ++frame) DebugCameraStep(false, {0, 0});
    EXPECT_FLOAT_EQ(CurrentCamera.fov, 70.0f + 5.0f * (keyDowns - 1));

    // An arrow held moves the camera in every frame, by the steps of the moves.
    CameraRecord expected = CurrentCamera;
    Keys[VK_UP] = true;
    Keys[VK_LEFT] = true;
    Keys[VK_PRIOR] = true;
    for (int frame = 0; frame < 10; ++frame) {
        DebugCameraStep(false, {0, 0});
        StrafeCamera(expected, 0.01f / 3);
        MoveCamera(expected, 0.01f * 3);
        RiseCamera(expected, 0.01f * 45);
    }
    ExpectSameCamera(CurrentCamera, expected);
    EXPECT_NEAR(CurrentCamera.eyeY, 4.5f, 1e-4f); // ten rises of 0.45
    EXPECT_NEAR(CurrentCamera.eyeZ, -10.0f + 10 * 0.6f, 1e-4f); // ten steps along the 20-long view
}

TEST_F(DebugCameraTest, DigitsSetSpeedOrWithShiftTheFieldOfViewAndTheHighestHeldWins)
{
    Keys['3'] = true;
    DebugCameraStep(false, {0, 0});
    EXPECT_EQ(MoveSpeed, 0.01f);
    EXPECT_EQ(CurrentCamera.fov, 70.0f);

    Keys[VK_SHIFT] = true;
    DebugCameraStep(false, {0, 0});
    EXPECT_EQ(CurrentCamera.fov, 50.0f);
    EXPECT_EQ(MoveSpeed, 0.01f);
    Keys['3'] = false;
    Keys[VK_SHIFT] = false;

    Keys['2'] = true;
    Keys['7'] = true;
    DebugCameraStep(false, {0, 0});
    EXPECT_EQ(MoveSpeed, 100.0f);
    Keys['7'] = false;
    Keys['8'] = true;
    Keys['1'] = true;
    DebugCameraStep(false, {0, 0});
    EXPECT_EQ(MoveSpeed, 1000.0f);
    Keys['8'] = false;
    DebugCameraStep(false, {0, 0});
    EXPECT_EQ(MoveSpeed, 0.001f);
    Keys[VK_SHIFT] = true;
    DebugCameraStep(false, {0, 0});
    EXPECT_EQ(CurrentCamera.fov, 30.0f);
}

TEST_F(DebugCameraTest, MouseLookTurnsOneRadianPer333FramePixelsAndNeverJumps)
{
    const float startAngle = std::atan2(CurrentCamera.centerX - CurrentCamera.eyeX,
                                        CurrentCamera.centerZ - CurrentCamera.eyeZ);
    const auto turned = [&] {
        return std::atan2(CurrentCamera.centerX - CurrentCamera.eyeX, CurrentCamera.centerZ - CurrentCamera.eyeZ) -
               startAngle;
    };
    // The last frame saw the cursor elsewhere; the drag starts where the button went down.
    DebugCameraStep(true, {500, 400});
    WindowProc(nullptr, WM_LBUTTONDOWN, 0, CursorParam(100, 200));
    EXPECT_TRUE(MouseLook);
    for (int x = 100; x <= 433; x += 37) DebugCameraStep(true, {x, 200}); // 333 pixels in nine steps
    EXPECT_NEAR(std::fabs(turned()), 1.0, 1e-4);
    EXPECT_NEAR(CurrentCamera.centerY, 0.0f, 1e-5f); // a horizontal drag keeps the height

    // Released, the cursor is still tracked: pressing again elsewhere does not jump.
    WindowProc(nullptr, WM_LBUTTONUP, 0, CursorParam(433, 200));
    EXPECT_FALSE(MouseLook);
    const CameraRecord released = CurrentCamera;
    DebugCameraStep(true, {600, 50});
    ExpectSameCamera(CurrentCamera, released);
    EXPECT_EQ(LastCursor.x, 600);
    WindowProc(nullptr, WM_LBUTTONDOWN, 0, CursorParam(600, 50));
    DebugCameraStep(true, {600, 50});
    ExpectSameCamera(CurrentCamera, released);

    // Outside the window the last position holds; coming back turns nothing that frame.
    DebugCameraStep(false, {-4000, 9000});
    EXPECT_EQ(LastCursor.x, 600);
    EXPECT_EQ(LastCursor.y, 50);
    ExpectSameCamera(CurrentCamera, released);
    DebugCameraStep(true, {10, 470});
    ExpectSameCamera(CurrentCamera, released);
    // Then 333 pixels up turn one radian in the vertical plane (the first angle), nothing else.
    DebugCameraStep(true, {10, 470 - 333});
    CameraRecord expected = released;
    RotateCamera(expected, -1.0f, 0.0f, 0.0f);
    ExpectSameCamera(CurrentCamera, expected);
    EXPECT_NE(CurrentCamera.centerY, released.centerY);
    WindowProc(nullptr, WM_LBUTTONUP, 0, CursorOutside);
    EXPECT_FALSE(MouseLook);
}

TEST_F(DebugCameraTest, ADragBetweenTwoSlowFramesTurnsAsFarAsTheButtonWent)
{
    DebugCameraStep(true, {0, 0});
    // Press, drag 333 pixels left and release, all before the next frame reads the cursor.
    WindowProc(nullptr, WM_LBUTTONDOWN, 0, CursorParam(400, 300));
    WindowProc(nullptr, WM_LBUTTONUP, 0, CursorParam(67, 300));
    DebugCameraStep(true, {67, 300});
    CameraRecord expected = DefaultCamera();
    RotateCamera(expected, 0.0f, -1.0f, 0.0f);
    ExpectSameCamera(CurrentCamera, expected);
}

// A test of the recording runs in its own folder, which is the working folder meanwhile.
class RecordingTest : public DebugCameraTest {
protected:
    void SetUp() override
    {
        DebugCameraTest::SetUp();
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.Path());
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previousFolder);
        DebugCameraTest::TearDown();
    }
    std::string FilePath() const { return (m_dir.Path() / "default.camera").string(); }
    std::string FileBytes() const
    {
        std::ifstream in(m_dir.Path() / "default.camera", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    TempDir m_dir;
    std::filesystem::path m_previousFolder;
};

TEST_F(RecordingTest, EachRightClickRewritesTheFileWithEveryKeySoFar)
{
    CameraRecord keys[6];
    for (int k = 1; k <= 5; ++k) {
        Keys[VK_UP] = true;
        Keys['0' + k] = true; // a different speed each time, so every key differs
        DebugCameraStep(false, {0, 0});
        Keys['0' + k] = false;
        keys[k] = CurrentCamera;
        WindowProc(nullptr, WM_RBUTTONUP, 0, 0);

        const std::string bytes = FileBytes();
        ASSERT_EQ(bytes.size(), 40u * (k + 1)) << "the placeholder and " << k << " keys";
        EXPECT_EQ(bytes.substr(0, 40), std::string(40, '\0')); // the placeholder of a path built by appending
        static CameraPath loaded{};
        LoadCameraPath(loaded, FilePath());
        ASSERT_EQ(loaded.count, k + 1);
        for (int j = 1; j <= k; ++j) ExpectSameCamera(loaded.keys[j], keys[j]);
    }
    // Loaded back, the path passes through all five keys, the last one included.
    static CameraPath path{};
    LoadCameraPath(path, FilePath());
    for (int k = 0; k < 4; ++k) {
        CameraRecord at{};
        EvaluateCameraPath(at, path, static_cast<float>(k) / 4.0f);
        EXPECT_NEAR(at.eyeZ, keys[k + 1].eyeZ, 1e-3f) << "key " << k + 1;
    }
    CameraRecord nearEnd{};
    EvaluateCameraPath(nearEnd, path, 0.99999f);
    EXPECT_NEAR(nearEnd.eyeZ, keys[5].eyeZ, 1e-2f);
}

TEST_F(RecordingTest, AFullRecordingRefusesTheKeyAndKeepsTheFile)
{
    for (int k = 1; k < MaxRecordedKeys; ++k) AppendCameraKey(CurrentCamera, DefaultCameraPath);
    CurrentCamera.fov = 33.0f;
    ASSERT_TRUE(RecordCameraKey());
    EXPECT_EQ(FileBytes().size(), 40u * (MaxRecordedKeys + 1));
    static CameraPath loaded{};
    LoadCameraPath(loaded, FilePath()); // the fullest recording still loads back
    EXPECT_EQ(loaded.keys[MaxRecordedKeys].fov, 33.0f);

    const std::string before = FileBytes();
    CurrentCamera.fov = 44.0f;
    testing::internal::CaptureStderr();
    WindowProc(nullptr, WM_RBUTTONUP, 0, 0);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("default.camera"), std::string::npos) << message;
    EXPECT_NE(message.find("not recorded"), std::string::npos) << message;
    EXPECT_EQ(DefaultCameraPath.count, MaxRecordedKeys);
    EXPECT_EQ(FileBytes(), before);
}

TEST_F(RecordingTest, AFileThatCannotBeWrittenIsShownNamingItAndThePiecePlaysOn)
{
    ASSERT_TRUE(RecordCameraKey());
    const std::string before = FileBytes();
    // A folder stands where the file goes.
    std::filesystem::remove(m_dir.Path() / "default.camera");
    std::filesystem::create_directory(m_dir.Path() / "default.camera");
    CapturedBoxes boxes;
    EXPECT_FALSE(RecordCameraKey());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("default.camera"), std::string::npos) << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(DefaultCameraPath.count, 1); // the key that was not written is not kept

    // Once the way is clear the next click writes every key kept.
    std::filesystem::remove(m_dir.Path() / "default.camera");
    ASSERT_TRUE(RecordCameraKey());
    EXPECT_EQ(FileBytes().size(), 120u);
    EXPECT_EQ(FileBytes().substr(0, 80), before);

    // A working folder that takes no files (an installed piece started from a system folder):
    // the box names the whole path and says why, and the file keeps the keys it had.
    const std::string kept = FileBytes();
    {
        UnwritableFolder locked(m_dir.Path());
        EXPECT_FALSE(RecordCameraKey());
    }
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, FilePath() + ": cannot write (its folder is not writable: Permission denied)\n"
                                                "The camera key was not recorded.");
    EXPECT_EQ(DefaultCameraPath.count, 2);
    EXPECT_EQ(FileBytes(), kept);
}

// The main loop on a window of its own, closed again so later tests start with none.
class DebugCameraLoopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(InitVideo(true));
        ASSERT_TRUE(CreatePlatformWindow("debug camera", 640, 480, false));
        ASSERT_TRUE(CreateGlContext());
        ASSERT_TRUE(MakeGlContextCurrent());
    }
    static void TearDownTestSuite()
    {
        ReleaseGlContext();
        DeleteGlContext();
        DestroyPlatformWindow();
    }
    void SetUp() override
    {
        std::memset(Keys, 0, sizeof Keys);
        CurrentCamera = DefaultCamera();
        MoveSpeed = 0.01f;
        SetOfflineFrameTime(36223); // the one millisecond no scene plays: no path moves the camera
    }
    void TearDown() override
    {
        SetOfflineFrameTime(std::nullopt);
        std::memset(Keys, 0, sizeof Keys);
    }
};

TEST_F(DebugCameraLoopTest, EscapeWithAnArrowStillMovesTheCameraInThatFrameThenTheLoopEnds)
{
    CameraRecord expected = CurrentCamera;
    MoveCamera(expected, 0.01f * 3);
    PostWindowMessage(WM_KEYDOWN, VK_UP);
    PostWindowMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(RunMessageLoop(), 0);
    ExpectSameCamera(CurrentCamera, expected);
}

} // namespace
