// The meatrepeat montage.
#include "timeline/scene_meatrepeat.h"

#include "timeline/montage.h"

namespace {

constexpr MontagePlan kPlan{{"subself", "sphere", "subbaken", "sphere"}, 32, SubTimeRule::Continuous, 0.6f, false};
SubSceneTable g_subScenes{};

} // namespace

void tscene_meatrepeat::Load()
{
    LoadMontage(g_subScenes, kPlan);
}

void tscene_meatrepeat::Render(int32_t time)
{
    RenderMontage(g_subScenes, kPlan, Progress(time));
}
