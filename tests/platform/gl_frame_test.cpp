// The off-screen frame: a real GL context that draws and reads its pixels back.
#include "support/driver_gl.h"
#include "support/gl_context.h"

#include "gl/gl.h"

namespace {

class GlFrameTest : public GlTest {};

TEST_F(GlFrameTest, DrawsIntoTheOffscreenFrameAndReadsItBack)
{
    glViewport(0, 0, 640, 480);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 0, 1, 1);
    glBegin(GL_QUADS); // the top half of the window, y down
    glVertex2f(0, 0);
    glVertex2f(640, 0);
    glVertex2f(640, 240);
    glVertex2f(0, 240);
    glEnd();

    GLint size[4];
    glGetIntegerv(GL_VIEWPORT, size);
    EXPECT_EQ(size[2], 640);
    EXPECT_EQ(size[3], 480);
    const auto top = ReadFrameRgb(10, 470, 1, 1);    // GL rows count from the bottom
    const auto bottom = ReadFrameRgb(10, 10, 1, 1);
    EXPECT_EQ(top, (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(bottom, (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(FrameDepthBits(), 24);
}

} // namespace
