// Off-screen start-up.
#include "app/offline.h"

#include "app/globals.h"
#include "app/glwindow.h"
#include "base/error.h"
#include "platform/window.h"

void OpenOfflineFrame()
{
    Options.headless = true;
    Options.playSound = false;
    if (!OpenGlSurface("nrvk_dms", PieceFrameSize.width, PieceFrameSize.height, 32, false))
        throw FatalError("cannot open the off-screen frame: " + SurfaceFailure());
}

void StartOffline()
{
    if (!HasGlContext()) OpenOfflineFrame();
    StartUpInSurface();
}
