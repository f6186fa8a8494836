// The meat montage.
#include "timeline/scene_meat.h"

#include "timeline/montage.h"

namespace {

SubSceneTable g_subScenes{};

} // namespace

void tscene_meat::Load()
{
    LoadMontage(g_subScenes, MeatPlan);
}

void tscene_meat::Render(int32_t time)
{
    RenderMontage(g_subScenes, MeatPlan, Progress(time));
}
