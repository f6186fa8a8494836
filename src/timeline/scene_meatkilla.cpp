// The meatkilla montage.
#include "timeline/scene_meatkilla.h"

#include "timeline/montage.h"

namespace {

SubSceneTable g_subScenes{};

} // namespace

void tscene_meatkilla::Load()
{
    LoadMontage(g_subScenes, MeatKillaPlan);
}

void tscene_meatkilla::Render(int32_t time)
{
    RenderMontage(g_subScenes, MeatKillaPlan, Progress(time));
}
