// Start-up sequence and loader screen.
#include "app/startup.h"

#include "app/globals.h"
#include "platform/gl.h"
#include "platform/window.h"
#include "sound/soundtrack.h"
#include "timeline/globalscenes.h"

#include <string>

void StartUpSequence()
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);

    for (int slot = 0; slot < kSceneSlotCount; ++slot)
        if (SceneTable[slot]) SceneTable[slot]->Load();

    if (!Options.playSound) return;
    if (!InitSound()) CloseSound();
    SoundStream = OpenSoundStream("data\\soundtrack.ogg");
    PlaySoundStream(0, SoundStream, Options.startMs);
}

void DrawLoaderScreen()
{
    PresentFrame();
}
