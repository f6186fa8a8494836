// Window creation with its exact failure texts, the window procedure and the main loop.
#include "app/glwindow.h"

#include "app/authoring.h"
#include "app/debug_camera.h"
#include "app/globals.h"
#include "app/startup.h"
#include "base/error.h"
#include "base/message_box.h"
#include "gl/gl.h"
#include "platform/frame_loop.h"
#include "platform/page.h"
#include "platform/window.h"
#include "render/lum_frame.h"
#include "sound/soundtrack.h"
#include "timeline/frame_clock.h"
#include "timeline/globalscenes.h"

namespace {

// Escape went down since the last frame. A tap whose key-up arrives before the next frame
// would otherwise clear Keys[VK_ESCAPE] before the loop looks, and the press would be lost.
bool g_escapePressed = false;

// The last OpenGlSurface's failure: its message with the reason beside it.
std::string g_surfaceFailure;

// A set-up step failed: its box, and the failure kept with the reason (taken before anything
// else can overwrite it).
bool FailSurface(const char* message, BoxIcon icon, const std::string& reason)
{
    ShowMessageBox(message, "Error", BoxButtons::Ok, icon);
    g_surfaceFailure = std::string(message) + " (" + reason + ")";
    return false;
}

// A step of the window failed: tear down what exists, then say which step.
bool FailWindowStep(const char* message)
{
    const std::string reason = StepFault();
    CloseGlWindow();
    return FailSurface(message, BoxIcon::Exclamation, reason);
}

void ShutdownError(const char* message)
{
    ShowMessageBox(message, " Shutdown Error", BoxButtons::Ok, BoxIcon::Error);
}

// A window the picture follows changed its size: the picture becomes its 4:3 area. A size the
// driver cannot draw (or a window shrunk to almost nothing) keeps the picture it had, shown
// scaled.
void FollowWindowSize(int width, int height)
{
    const PixelSize picture = PictureInside({width, height});
    if (picture.width >= MinimumOutputSide && picture.height >= MinimumOutputSide) ChangePictureSize(picture);
}

// The run played by MainLoop: who hears of its end, and a fault a frame threw, told once the
// window is closed.
void (*g_playEnded)(std::exception_ptr fault) = nullptr;
std::exception_ptr g_playFault;

bool PlayTurn()
{
    try {
        intptr_t quitParameter = 0;
        const bool more = MessageLoopTurn(quitParameter);
        PublishFrame(MusicTime);
        return more;
    } catch (...) {
        g_playFault = std::current_exception();
        return false;
    }
}

void EndPlay()
{
    LogFrameClockSummary();
    CloseGlWindow();
    // The sound ends with the picture: a browser's page, which outlives the run, would play on.
    CloseSound();
    g_playEnded(g_playFault);
}

} // namespace

void MainLoop(void (*ended)(std::exception_ptr fault))
{
    FullScreen = !(Options.windowed || Options.headless);
    // The piece cannot be shown: its box has said so, and the run ends as a failure (exit
    // code 1, the reason on stderr), never as a piece played.
    if (!OpenGlWindow(WindowTitle, Options.windowSize.width, Options.windowSize.height, 32, FullScreen))
        throw FatalError(SurfaceFailure(), true);
    g_playEnded = ended;
    RunFrames(PlayTurn, EndPlay);
}

intptr_t RunMessageLoop()
{
    intptr_t quitParameter = 0;
    while (MessageLoopTurn(quitParameter)) {}
    return quitParameter;
}

bool MessageLoopTurn(intptr_t& quitParameter)
{
    WindowMessage message;
    while (PeekWindowMessage(message)) {
        if (message.message == WM_QUIT) {
            quitParameter = static_cast<intptr_t>(message.wParam);
            return false;
        }
        WindowProc(WindowHandle, message.message, message.wParam, message.lParam);
    }
    if (Options.dev) AuthoringBeforeFrame();
    RenderFrame();
    PresentFrame();
    FramePresented();
    if (Options.dev) AuthoringAfterFrame();
    // The frame that sees Escape still runs the debug step: its moves land in the camera.
    const bool stop = Keys[VK_ESCAPE] || g_escapePressed || PieceEndRequested() || PieceHasEnded(MusicTime);
    DebugCameraFrameStep();
    if (stop) {
        g_escapePressed = false;
        quitParameter = 0;
        return false;
    }
    return true;
}

bool OpenGlWindow(const char* title, int width, int height, uint8_t bits, bool fullScreen)
{
    if (!OpenGlSurface(title, width, height, bits, fullScreen)) return false;
    StartUpInSurface();
    return true;
}

void StartUpInSurface()
{
    const PixelSize picture = PictureSize();
    SetupProjection(picture.width, picture.height);
    StartUpSequence();
}

bool OpenGlSurface(const char* title, int width, int height, uint8_t bits, bool fullScreen)
{
    FullScreen = fullScreen;
    if (!InitVideo(Options.headless))
        return FailSurface("Failed To Register The Window Class.", BoxIcon::Error, StepFault());
    if (FullScreen && !EnterFullScreenMode(width, height)) {
        const BoxAnswer answer =
            ShowMessageBox("This FullScreen Mode Is Not Supported. Use Windowed Mode Instead?", "Ardo GL",
                           BoxButtons::YesNo, BoxIcon::Exclamation);
        if (answer != BoxAnswer::Yes)
            return FailSurface("Program Will Now Close.", BoxIcon::Error,
                               "no full screen of " + std::to_string(width) + "x" + std::to_string(height) +
                                   ", and windowed mode was declined");
        FullScreen = false;
    }
    ShowMouseCursor(!FullScreen);

    // The platform makes its frame with 32-bit colour and a 24-bit depth buffer.
    static_cast<void>(bits);
    WindowHandle = CreatePlatformWindow(title, width, height, FullScreen);
    if (!WindowHandle) return FailWindowStep("Window creation error.");
    DeviceContext = WindowHandle; // SDL draws to the window itself
    if (!DeviceContext) return FailWindowStep("Cant't create a GL device context.");
    RenderContext = CreateGlContext();
    if (!RenderContext) return FailWindowStep("Cant't create a GL rendering context.");
    if (!MakeGlContextCurrent()) return FailWindowStep("Cant't activate the GL rendering context.");

    ShowPlatformWindow();
    if (Options.pictureFollowsWindow) {
        const PixelSize window = WindowDrawableSize();
        if (window.width >= MinimumOutputSide && window.height >= MinimumOutputSide)
            SetPictureSize(PictureInside(window));
    }
    const std::string fault = MatchOffscreenFrameToPicture();
    if (!fault.empty()) {
        CloseGlWindow();
        throw FatalError(Options.pictureOption.empty() ? fault : Options.pictureOption + ": " + fault);
    }
    return true;
}

std::string SurfaceFailure()
{
    return g_surfaceFailure;
}

void CloseGlWindow()
{
    if (FullScreen) {
        LeaveFullScreenMode();
        ShowMouseCursor(true);
    }
    if (RenderContext) {
        if (!ReleaseGlContext()) ShutdownError("Release of DC and RC failed.");
        if (!DeleteGlContext()) ShutdownError("Release of Rendering Context failed.");
        RenderContext = nullptr;
    }
    if (DeviceContext) DeviceContext = nullptr; // nothing to release: it is the window
    if (WindowHandle) {
        if (!DestroyPlatformWindow()) ShutdownError("Could not release hWnd.");
        WindowHandle = nullptr;
    }
}

intptr_t WindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_SYSCOMMAND: // SC_SCREENSAVE and SC_MONITORPOWER are swallowed; nothing else
    case WM_ACTIVATE:   // reaches here (the platform keeps the screen saver off itself)
        return 0;
    case WM_SIZE:
        if (Options.pictureFollowsWindow)
            FollowWindowSize(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
        return 0;
    case WM_CLOSE:
        PostWindowMessage(WM_QUIT, 0);
        return 0;
    case WM_KEYDOWN:
        Keys[wParam & 0xFF] = true;
        if (wParam == VK_ESCAPE) g_escapePressed = true;
        if (Options.dev) AuthoringKeyDown(static_cast<int>(wParam & 0xFF));
        return 0;
    case WM_KEYUP:
        Keys[wParam & 0xFF] = false;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        DebugMouseMessage(message, lParam);
        return 0;
    default:
        return 0;
    }
}

std::string ChangePictureSize(PixelSize picture)
{
    const PixelSize previous = PictureSize();
    if (picture == previous) return {};
    SetPictureSize(picture);
    const std::string fault = MatchOffscreenFrameToPicture();
    if (!fault.empty()) {
        SetPictureSize(previous);
        MatchOffscreenFrameToPicture();
        return fault;
    }
    MatchRenderTargetsToPicture();
    return {};
}

void SetupProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
