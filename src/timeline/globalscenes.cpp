// The schedule of the piece, in milliseconds of music.
#include "timeline/globalscenes.h"

#include "app/globals.h"
#include "scenes/scene_atom.h"
#include "scenes/scene_baken.h"
#include "scenes/scene_giorl.h"
#include "scenes/scene_greet.h"
#include "scenes/scene_outro.h"
#include "scenes/scene_season.h"
#include "scenes/scene_sign.h"
#include "scenes/scene_smallfall.h"
#include "scenes/scene_sphere.h"
#include "scenes/scene_title.h"
#include "sound/frame_clock.h"
#include "timeline/scene_meat.h"
#include "timeline/scene_meatkilla.h"
#include "timeline/scene_meatmore.h"
#include "timeline/scene_meatrepeat.h"

lum_genericscene* SceneTable[kSceneSlotCount] = {};

namespace {

// Scene objects are made once and live until the process ends.
template <class Scene>
lum_genericscene* Schedule(int slot, int32_t start, int32_t end)
{
    lum_genericscene* scene = new Scene;
    scene->StartTime = start;
    scene->EndTime = end;
    SceneTable[slot] = scene;
    return scene;
}

} // namespace

void InitialiseSceneTable()
{
    if (SceneTable[0]) return;
    const lum_genericscene* title = Schedule<tscene_title>(0, 0, 18112);
    // The sphere starts where the title ends; it ends a millisecond before smallfall.
    Schedule<tscene_sphere>(1, title->EndTime, 36223);
    Schedule<tscene_smallfall>(2, 36224, 54336);
    Schedule<tscene_season>(5, 90560, 108672);
    Schedule<tscene_meat>(6, 108672, 126784);
    Schedule<tscene_meatmore>(7, 126784, 144896);
    Schedule<tscene_meatrepeat>(8, 144896, 163008);
    Schedule<tscene_baken>(9, 163008, 181120);
    Schedule<tscene_sign>(10, 181120, 199232);
    Schedule<tscene_meatkilla>(11, 199232, 235456);
    Schedule<tscene_atom>(12, 235456, 253568);
    Schedule<tscene_greet>(13, 253568, 289792);
    Schedule<tscene_giorl>(15, 54336, 90560);
    Schedule<tscene_outro>(16, 289792, 307904);
}

void RenderFrame()
{
    MusicTime = FrameMusicTime();
    for (lum_genericscene* scene : SceneTable)
        if (scene && scene->Progress(MusicTime) != -1.0f) scene->Render(MusicTime);
}

bool PieceHasEnded(int32_t time)
{
    for (const lum_genericscene* scene : SceneTable)
        if (scene && time < scene->EndTime) return false;
    return true;
}
