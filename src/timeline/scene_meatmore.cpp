// The meatmore montage.
#include "timeline/scene_meatmore.h"

#include "timeline/montage.h"

namespace {

SubSceneTable g_subScenes{};

} // namespace

void tscene_meatmore::Load()
{
    LoadMontage(g_subScenes, MeatMorePlan);
}

void tscene_meatmore::Render(int32_t time)
{
    RenderMontage(g_subScenes, MeatMorePlan, Progress(time));
}
