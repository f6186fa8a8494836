// The cup scene, in drawing order, and the steps cuptwo shares.
#include "scenes/scene_cup.h"

#include "gl/gl.h"
#include "resources/globaldata.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"
#include "scenes/yard_setting.h"

namespace {

CameraPath g_path;
ListTextures g_cupTextures;

} // namespace

void PrepareCupSet()
{
    PrepareYardSetting();
    g_cupTextures = ResolveListTextures(CupList, "cup.");
}

void DrawCupSet(const CameraPath& path, float fraction)
{
    BeginSceneFrame(0, 0, 0, 0, path, fraction);
    DrawYardSetting();
    glPushMatrix();
    glTranslatef(0, 1900, -400);
    DrawGeoxListTextured(CupList, g_cupTextures);
    glPopMatrix();
}

void tscene_cup::Load()
{
    LoadCameraPath(g_path, "data\\cup.camera");
    PrepareCupSet();
}

void tscene_cup::Render(int32_t time)
{
    DrawCupSet(g_path, 0.9f * Progress(time));
}
