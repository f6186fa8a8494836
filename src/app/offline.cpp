// Off-screen start-up.
#include "app/offline.h"

#include "app/globals.h"
#include "app/glwindow.h"
#include "base/error.h"

void StartOffline()
{
    Options.headless = true;
    Options.playSound = false;
    if (!OpenGlWindow("nrvk_dms", 640, 480, 32, false)) throw FatalError("cannot open the off-screen frame");
}
