// Frame read-back for captures.
#include "capture/frame_grabber.h"

#include "platform/window.h"

#include <cstring>

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

} // namespace

FrameGrabber::FrameGrabber(int width, int height)
    : m_width(width), m_height(height), m_bottomUp(static_cast<size_t>(width) * height * 3)
{
    if (width == kFrameWidth && height == kFrameHeight) return;
    GLint drawn = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &drawn);
    glGenRenderbuffers(1, &m_colour);
    glBindRenderbuffer(GL_RENDERBUFFER, m_colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenFramebuffers(1, &m_frameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_frameBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(drawn));
}

FrameGrabber::~FrameGrabber()
{
    if (m_frameBuffer) glDeleteFramebuffers(1, &m_frameBuffer);
    if (m_colour) glDeleteRenderbuffers(1, &m_colour);
}

void FrameGrabber::Read(uint8_t* rgb)
{
    GLint drawn = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &drawn);
    if (m_frameBuffer) {
        // The scaling the window does when it presents the frame, into the capture's size.
        const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frameBuffer);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(clear[0], clear[1], clear[2], clear[3]);
        const FrameRectangle shown = LetterboxedFrame(m_width, m_height);
        glBlitFramebuffer(0, 0, kFrameWidth, kFrameHeight, shown.x, shown.y, shown.x + shown.width,
                          shown.y + shown.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frameBuffer);
        if (scissor) glEnable(GL_SCISSOR_TEST);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, GL_RGB, GL_UNSIGNED_BYTE, m_bottomUp.data());
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(drawn));
    const size_t rowBytes = static_cast<size_t>(m_width) * 3;
    for (int row = 0; row < m_height; ++row)
        std::memcpy(rgb + static_cast<size_t>(row) * rowBytes,
                    m_bottomUp.data() + static_cast<size_t>(m_height - 1 - row) * rowBytes, rowBytes);
}
