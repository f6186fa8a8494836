// Full screen refused: the windowed-mode question, its texts, and both answers.
#include "app/globals.h"
#include "app/glwindow.h"
#include "base/error.h"
#include "base/files.h"
#include "gl/gl.h"
#include "platform/window.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

namespace {

class WindowQuestionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Options.headless = true;
        Options.playSound = false;
        OverrideFullScreenSupport(false);
        SetDataRoot(m_emptyData.Path().string());
    }
    void TearDown() override
    {
        OverrideFullScreenSupport(std::nullopt);
        SetDataRoot(".");
    }
    TempDir m_emptyData;
};

TEST_F(WindowQuestionTest, DecliningShowsTheClosingMessageAndOpensNothing)
{
    CapturedBoxes boxes(BoxAnswer::No);
    EXPECT_FALSE(OpenGlWindow("nrvk_dms", 640, 480, 32, true));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, "This FullScreen Mode Is Not Supported. Use Windowed Mode Instead?");
    EXPECT_EQ(boxes.boxes[0].caption, "Ardo GL");
    EXPECT_EQ(boxes.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(boxes.boxes[1].text, "Program Will Now Close.");
    EXPECT_EQ(boxes.boxes[1].caption, "Error");
    EXPECT_EQ(boxes.boxes[1].icon, BoxIcon::Error);
    EXPECT_FALSE(HasPlatformWindow());
    EXPECT_EQ(WindowHandle, nullptr);
}

TEST_F(WindowQuestionTest, AcceptingOpensAWindowed640By480Frame)
{
    CapturedBoxes boxes(BoxAnswer::Yes);
    // The empty data folder makes the loading stop at its first file; the window is open by then.
    try {
        OpenGlWindow("nrvk_dms", 640, 480, 32, true);
    } catch (const FatalError&) {
    }
    ASSERT_GE(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Ardo GL");
    EXPECT_FALSE(FullScreen);
    EXPECT_TRUE(HasPlatformWindow());
    EXPECT_NE(RenderContext, nullptr);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    CloseGlWindow();
    EXPECT_FALSE(HasPlatformWindow());
    EXPECT_EQ(RenderContext, nullptr);
    EXPECT_EQ(WindowHandle, nullptr);
}

TEST(WindowProc, KeepsKeysByVirtualKeyCodeAndQuitsOnClose)
{
    Keys[VK_ESCAPE] = false;
    WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Keys[VK_ESCAPE]);
    WindowProc(nullptr, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_FALSE(Keys[VK_ESCAPE]);
    WindowProc(nullptr, WM_CLOSE, 0, 0);
    WindowMessage message;
    ASSERT_TRUE(PeekWindowMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
}

} // namespace
