// SDL2 window, GL context, off-screen frame and event translation.
#include "platform/window.h"

#include "base/gl.h"
#include "platform/input.h"
#include "platform/ticks.h"
#include "platform/window_message_box.h"
#include "platform/window_system.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

SDL_Window* g_window = nullptr;
SDL_GLContext g_context = nullptr;
bool g_headless = false;
bool g_videoStarted = false;
bool g_framed = false; // a window with a frame: its outer top-left goes to the screen's
std::string g_stepFault; // why the last step that failed did (StepFault)
std::optional<bool> g_fullScreenOverride;

GLuint g_frameBuffer = 0;
GLuint g_colourBuffer = 0;
GLuint g_depthBuffer = 0;
PixelSize g_frameSize = PieceFrameSize; // what the off-screen frame's buffers hold

// What a picture takes besides the driver's own: colour and depth (4 bytes each), the glow's
// halved copies (under 2), the read-back and the finished output frames of a capture (3 bytes
// each, the output no larger than the picture by more than its bars), with room to spare.
constexpr uint64_t kBytesPerPicturePixel = 32;

KeyRepeater g_keyRepeater;

// Messages posted by the program itself (PostQuitMessage), taken before SDL events.
constexpr int kPostedCapacity = 16;
WindowMessage g_posted[kPostedCapacity];
int g_postedHead = 0;
int g_postedCount = 0;

// Records SDL's error as the reason of a failed step; returns `result` for the step to return.
template <typename Result>
Result Failed(Result result)
{
    g_stepFault = SDL_GetError();
    if (g_stepFault.empty()) g_stepFault = "no reason given";
    return result;
}

bool StartVideo(const char* driver)
{
    if (driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return Failed(false);
    // The GL library is held for the whole run, as a program's OpenGL library stays loaded to
    // its end: closing a window (after the windowed-mode question, or at the teardown) then
    // never unloads the driver while the process still runs. A failure shows when the window
    // asks for GL.
    SDL_GL_LoadLibrary(nullptr);
    return true;
}

// Gives the frame's colour and depth buffers storage of `size`, cleared, and binds the frame.
// False when the driver could not (its error is taken, so none is left for later).
bool StoreFrameBuffer(PixelSize size)
{
    // Errors left by earlier calls are not this one's; a lost context reports one for ever.
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {}
    glBindRenderbuffer(GL_RENDERBUFFER, g_colourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size.width, size.height);
    glBindRenderbuffer(GL_RENDERBUFFER, g_depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size.width, size.height);
    glBindFramebuffer(GL_FRAMEBUFFER, g_frameBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, g_colourBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, g_depthBuffer);
    if (glGetError() != GL_NO_ERROR || glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return false;
    g_frameSize = size;
    glViewport(0, 0, size.width, size.height);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    return true;
}

// The frame at the size of the piece, which every driver makes; MatchOffscreenFrameToPicture
// gives it another.
void MakeFrameBuffer()
{
    if (g_frameBuffer != 0) return;
    glGenFramebuffers(1, &g_frameBuffer);
    glGenRenderbuffers(1, &g_colourBuffer);
    glGenRenderbuffers(1, &g_depthBuffer);
    StoreFrameBuffer(PieceFrameSize);
}

void DeleteFrameBuffer()
{
    if (g_frameBuffer == 0) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &g_frameBuffer);
    glDeleteRenderbuffers(1, &g_colourBuffer);
    glDeleteRenderbuffers(1, &g_depthBuffer);
    g_frameBuffer = g_colourBuffer = g_depthBuffer = 0;
}

// A point of the window (an event's) in pixels of the piece's frame, as a message's lParam.
intptr_t CursorParamAt(int windowX, int windowY)
{
    int width = 0, height = 0;
    SDL_GetWindowSize(g_window, &width, &height);
    if (windowX < 0 || windowY < 0 || windowX >= width || windowY >= height) return CursorOutside;
    int x = 0, y = 0;
    WindowPointToFrame(windowX, windowY, width, height, PieceFrameSize.width, PieceFrameSize.height, x, y);
    return CursorParam(x, y);
}

bool TranslateEvent(const SDL_Event& event, WindowMessage& message)
{
    switch (event.type) {
    case SDL_QUIT:
        message = {WM_CLOSE, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            message = {WM_CLOSE, 0, 0};
            return true;
        }
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            message = {WM_ACTIVATE, 1, 0};
            return true;
        }
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            message = {WM_ACTIVATE, 0, 0};
            return true;
        }
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            // As Windows sends it: the client area's width in the low word, its height in the next.
            const PixelSize drawable = WindowDrawableSize();
            message = {WM_SIZE, 0, static_cast<intptr_t>((drawable.height & 0xFFFF) << 16 | (drawable.width & 0xFFFF))};
            return true;
        }
        return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        // The system's own repeats are dropped: KeyRepeater makes them the Windows way.
        if (event.key.repeat) return false;
        const int key = VirtualKeyFromScancode(event.key.keysym.scancode);
        if (key == 0) return false;
        if (event.type == SDL_KEYDOWN) {
            g_keyRepeater.KeyDown(key, event.key.timestamp);
            message = {WM_KEYDOWN, static_cast<uintptr_t>(key), 0};
        } else {
            g_keyRepeater.KeyUp(key);
            message = {WM_KEYUP, static_cast<uintptr_t>(key), 0};
        }
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button != SDL_BUTTON_LEFT) return false;
        message = {WM_LBUTTONDOWN, 0, CursorParamAt(event.button.x, event.button.y)};
        return true;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) message = {WM_LBUTTONUP, 0, 0};
        else if (event.button.button == SDL_BUTTON_RIGHT) message = {WM_RBUTTONUP, 0, 0};
        else return false;
        message.lParam = CursorParamAt(event.button.x, event.button.y);
        return true;
    default:
        return false;
    }
}

} // namespace

bool InitVideo(bool headless)
{
    if (g_videoStarted) return true;
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    g_headless = headless || (requested && SDL_strcmp(requested, "offscreen") == 0);
    std::string displayFault;
    if (!g_headless && !StartVideo(nullptr)) { // no display: run headless
        g_headless = true;
        displayFault = g_stepFault;
    }
    if (g_headless && !StartVideo(HeadlessVideoDriver)) {
        // A display that failed first is named too, unless its driver (forced by
        // SDL_VIDEODRIVER) said the same again.
        if (!displayFault.empty() && displayFault != g_stepFault)
            g_stepFault = "no display: " + displayFault + "; no off-screen video: " + g_stepFault;
        return false;
    }
    // On a display the boxes show on screen, unless a test already took them over.
    if (!g_headless) {
        MessageBoxHandler previous = SetMessageBoxHandler(ShowWindowMessageBox);
        if (previous) SetMessageBoxHandler(std::move(previous));
    }
    g_videoStarted = true;
    return true;
}

bool IsHeadless()
{
    return g_headless;
}

bool EnterFullScreenMode(int width, int height)
{
    if (g_fullScreenOverride) return *g_fullScreenOverride;
    if (g_headless) return false;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    return mode.w >= width && mode.h >= height;
}

void OverrideFullScreenSupport(std::optional<bool> supported)
{
    g_fullScreenOverride = supported;
}

void LeaveFullScreenMode()
{
    if (g_window) SDL_SetWindowFullscreen(g_window, 0);
}

void* CreatePlatformWindow(const char* title, int width, int height, bool fullScreen)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    else flags |= SDL_WINDOW_RESIZABLE;
    // Full screen asks for the desktop's size too, so that a display without a window
    // manager (which ignores the full-screen request) still gets a window covering it.
    // A window asked larger than the desktop is made its size: it would show no more (the
    // picture keeps its own size and is shown scaled), and the system may refuse to make it.
    int windowWidth = width, windowHeight = height;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        windowWidth = fullScreen ? desktop.w : std::min(width, desktop.w);
        windowHeight = fullScreen ? desktop.h : std::min(height, desktop.h);
    }
    g_window = SDL_CreateWindow(title, 0, 0, windowWidth, windowHeight, flags);
    if (!g_window) return Failed(nullptr);
    // The client area is width x height; its outer frame goes to the top-left corner once it
    // is shown (ShowPlatformWindow), when the window manager has given it its borders.
    g_framed = !fullScreen;
    SDL_DisableScreenSaver();
    return g_window;
}

void* CreateGlContext()
{
    g_context = g_window ? SDL_GL_CreateContext(g_window) : nullptr;
    return g_context ? g_context : Failed(nullptr);
}

bool MakeGlContextCurrent()
{
    if (!g_context || SDL_GL_MakeCurrent(g_window, g_context) != 0) return Failed(false);
    // The GL loader finds an entry point at its first call, and on Windows it asks the driver
    // for its version then, which GL refuses between glBegin and glEnd: the one entry point
    // newer than 1.1 that is called there is found here first, setting the unit's texture
    // coordinate to the value a new context starts with.
    glMultiTexCoord2f(GL_TEXTURE0, 0.0f, 0.0f);
    SDL_GL_SetSwapInterval(g_headless ? 0 : 1);
    MakeFrameBuffer();
    return true;
}

void ShowPlatformWindow()
{
    if (!g_window || g_headless) return;
    SDL_ShowWindow(g_window);
    SDL_RaiseWindow(g_window);
    if (!g_framed) return;
    // A window manager frames the window as it maps it and says how wide the borders are a
    // moment later; without one (or before it answers) they are 0. The window is moved so
    // that its client area starts past the borders and the frame's corner is the screen's.
    int top = 0, left = 0;
    const Uint32 waitUntil = SDL_GetTicks() + 250;
    while (SDL_GetWindowBordersSize(g_window, &top, &left, nullptr, nullptr) == 0 && top == 0 && left == 0 &&
           !SDL_TICKS_PASSED(SDL_GetTicks(), waitUntil)) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
    SDL_SetWindowPosition(g_window, left, top);
}

bool ReleaseGlContext()
{
    DeleteFrameBuffer();
    return SDL_GL_MakeCurrent(g_window, nullptr) == 0;
}

bool DeleteGlContext()
{
    if (!g_context) return false;
    SDL_GL_DeleteContext(g_context);
    g_context = nullptr;
    return true;
}

bool DestroyPlatformWindow()
{
    if (!g_window) return false;
    SDL_DestroyWindow(g_window);
    g_window = nullptr;
    SDL_EnableScreenSaver();
    return true;
}

bool HasPlatformWindow()
{
    return g_window != nullptr;
}

bool HasGlContext()
{
    return g_context != nullptr;
}

std::string StepFault()
{
    return g_stepFault;
}

void PresentFrame()
{
    if (!g_window || g_headless) {
        glFlush();
        return;
    }
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(g_window, &width, &height);
    const FrameRectangle shown = LetterboxedFrame(width, height);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g_frameBuffer);
    glBlitFramebuffer(0, 0, g_frameSize.width, g_frameSize.height, shown.x, shown.y, shown.x + shown.width,
                      shown.y + shown.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    SDL_GL_SwapWindow(g_window);
    glBindFramebuffer(GL_FRAMEBUFFER, g_frameBuffer);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

std::string PictureSizeFault(PixelSize picture)
{
    const std::string size = std::to_string(picture.width) + "x" + std::to_string(picture.height);
    struct Limit {
        const char* name;
        GLint width, height;
    };
    GLint renderbuffer = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    Limit limits[3] = {{"GL_MAX_RENDERBUFFER_SIZE", renderbuffer, renderbuffer},
                       {"GL_MAX_VIEWPORT_DIMS", viewport[0], viewport[1]},
                       {"GL_MAX_FRAMEBUFFER_WIDTH and _HEIGHT", 0, 0}};
    if (epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_ARB_framebuffer_no_attachments")) {
        glGetIntegerv(GL_MAX_FRAMEBUFFER_WIDTH, &limits[2].width);
        glGetIntegerv(GL_MAX_FRAMEBUFFER_HEIGHT, &limits[2].height);
    }
    for (const Limit& limit : limits)
        if (limit.width > 0 && limit.height > 0 && (picture.width > limit.width || picture.height > limit.height))
            return "a picture of " + size + " pixels is larger than this GL driver draws (" + limit.name + ": " +
                   std::to_string(limit.width) + "x" + std::to_string(limit.height) + ")";
    const uint64_t needed = static_cast<uint64_t>(picture.width) * static_cast<uint64_t>(picture.height) *
                            kBytesPerPicturePixel;
    const uint64_t memory = static_cast<uint64_t>(SDL_GetSystemRAM()) << 20;
    if (memory > 0 && needed > memory)
        return "a picture of " + size + " pixels needs about " + std::to_string(needed >> 20) +
               " MiB to draw and read back; this machine has " + std::to_string(memory >> 20) + " MiB";
    return {};
}

std::string MatchOffscreenFrameToPicture()
{
    const PixelSize picture = PictureSize();
    if (picture == g_frameSize) {
        glBindFramebuffer(GL_FRAMEBUFFER, g_frameBuffer);
        glViewport(0, 0, picture.width, picture.height);
        return {};
    }
    std::string fault = PictureSizeFault(picture);
    if (fault.empty() && !StoreFrameBuffer(picture)) {
        fault = "the GL driver could not make a frame of " + std::to_string(picture.width) + "x" +
                std::to_string(picture.height) + " pixels";
        StoreFrameBuffer(g_frameSize);
    }
    return fault;
}

PixelSize WindowDrawableSize()
{
    if (!g_window || g_headless) return PictureSize();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(g_window, &width, &height);
    return {width, height};
}

bool PeekWindowMessage(WindowMessage& message)
{
    if (g_postedCount > 0) {
        message = g_posted[g_postedHead];
        g_postedHead = (g_postedHead + 1) % kPostedCapacity;
        --g_postedCount;
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (TranslateEvent(event, message)) return true;
    if (const int key = g_keyRepeater.NextRepeat(SDL_GetTicks())) {
        message = {WM_KEYDOWN, static_cast<uintptr_t>(key), 0};
        return true;
    }
    return false;
}

void PostWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (g_postedCount == kPostedCapacity) return;
    g_posted[(g_postedHead + g_postedCount) % kPostedCapacity] = {message, wParam, lParam};
    ++g_postedCount;
}

void ShowMouseCursor(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool GetCursorFramePosition(int& x, int& y)
{
    if (!g_window || g_headless) return false;
    // The desktop position, read from the system now (not from the last event), so a drag
    // held outside the window is seen as outside.
    int screenX = 0, screenY = 0, left = 0, top = 0, width = 0, height = 0;
    SDL_GetGlobalMouseState(&screenX, &screenY);
    SDL_GetWindowPosition(g_window, &left, &top);
    SDL_GetWindowSize(g_window, &width, &height);
    const int windowX = screenX - left, windowY = screenY - top;
    if (windowX < 0 || windowY < 0 || windowX >= width || windowY >= height) return false;
    WindowPointToFrame(windowX, windowY, width, height, PieceFrameSize.width, PieceFrameSize.height, x, y);
    return true;
}

void WindowPointToFrame(int windowX, int windowY, int windowWidth, int windowHeight, int frameWidth,
                        int frameHeight, int& frameX, int& frameY)
{
    const FrameRectangle shown = LetterboxedFrame(windowWidth, windowHeight);
    frameX = static_cast<int>(std::floor(static_cast<double>(windowX - shown.x) * frameWidth / shown.width));
    frameY = static_cast<int>(std::floor(static_cast<double>(windowY - shown.y) * frameHeight / shown.height));
}

void SetPlatformWindowTitle(const char* title)
{
    if (g_window) SDL_SetWindowTitle(g_window, title);
}
