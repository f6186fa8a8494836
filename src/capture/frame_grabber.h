// The drawn 640x480 frame read back at the size of a capture: as it is at 640x480, otherwise
// scaled into the largest 4:3 rectangle that fits, with black bars, exactly as the window
// shows it (the same rectangle and the same linear filter).
#pragma once

#include "base/gl.h"

#include <cstdint>
#include <vector>

class FrameGrabber {
public:
    // Makes the GL objects of the scaled size at once. Needs the current context.
    FrameGrabber(int width, int height);
    ~FrameGrabber();
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;

    // Writes width x height RGB pixels, rows top first, of the frame drawn last.
    void Read(uint8_t* rgb);

private:
    int m_width;
    int m_height;
    GLuint m_frameBuffer = 0; // the scaled frame, when the size is not 640x480
    GLuint m_colour = 0;
    std::vector<uint8_t> m_bottomUp;
};
