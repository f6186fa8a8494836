// The meatrepeat montage.
#include "timeline/scene_meatrepeat.h"

#include "timeline/montage.h"

namespace {

SubSceneTable g_subScenes{};

} // namespace

void tscene_meatrepeat::Load()
{
    LoadMontage(g_subScenes, MeatRepeatPlan);
}

void tscene_meatrepeat::Render(int32_t time)
{
    RenderMontage(g_subScenes, MeatRepeatPlan, Progress(time));
}
