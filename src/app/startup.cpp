// Start-up sequence and loader screen.
#include "app/startup.h"

#include "app/globals.h"
#include "base/random.h"
#include "gl/gl.h"
#include "platform/window.h"
#include "render/lum_frame.h"
#include "render/lum_views.h"
#include "resources/globaldata.h"
#include "resources/lum_log.h"
#include "resources/lum_textures.h"
#include "sound/soundtrack.h"
#include "timeline/globalscenes.h"

#include <string>

void StartUpSequence()
{
    // The log stays off unless the user asked to see what loads.
    LogEnabled = Options.keepLog;
    // Every random draw from here on follows from this seed in load order.
    SetRandomSeed(StartUpRandomSeed);

    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    CreateRenderTargets();

    ClearTextureLibrary(GlobalTextures);
    // A picture drawn large takes the double-resolution images where the data has them.
    const TextureListFiles font = FilesForPicture({"data\\font.jpg.packed", "data\\font_alpha.jpg.packed"});
    AddTexture(GlobalTextures, "font", LoadAlphaTexture(font.colour, font.alpha, GL_LINEAR, GL_LINEAR));
    const TextureListFiles loader = FilesForPicture({"data\\loader.jpg.packed", ""});
    AddTexture(GlobalTextures, "loader", LoadTexture(loader.colour, GL_LINEAR, GL_LINEAR));
    DrawLoaderScreen();
    Log("+font");
    Log("trying globals load");

    LoadGlobalData();
    ResolveFinishingTextures();
    DrawLoaderScreen();
    Log("global ok");

    for (int slot = 0; slot < kSceneSlotCount; ++slot) {
        if (!SceneTable[slot]) continue;
        Log("Trying to load scene " + std::to_string(slot));
        SceneTable[slot]->Load();
        DrawLoaderScreen();
    }
    Log("by scene loaders ok");

    // The music starts last: its clock is the timeline, and loading lies before it.
    Log("initing sound...");
    if (Options.playSound) {
        if (!InitSound(Options.avOffsetMs)) CloseSound();
        const std::string route = SoundRouteDescription();
        Log("sound: " + (route.empty() ? std::string("no audio device; the piece plays silently on the steady clock")
                                       : route));
        SoundStream = OpenSoundStream("data\\soundtrack.ogg");
        SoundChannel = 0;
        PlaySoundStream(SoundChannel, SoundStream, Options.startMs);
    }
    Log("sound ok");
}

void DrawLoaderScreen()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The picture fills 480 x 360 in the middle of the overlay space, in the current colour.
    BeginOverlay();
    BindTexture(GlobalTextures, "loader");
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(80.0f, 60.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(560.0f, 60.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(560.0f, 420.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(80.0f, 420.0f);
    glEnd();
    DrawFade(0.7f);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    GlowPass(135, 1.0f, 1.0f, 1.0f, 0.75f);
    PresentFrame();
}
