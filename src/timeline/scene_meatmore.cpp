// The meatmore montage.
#include "timeline/scene_meatmore.h"

#include "timeline/montage.h"

namespace {

constexpr MontagePlan kPlan{{"grass", "waterunder", "waterfilled", "cuptwo"}, 16, SubTimeRule::PerAppearance, 0.6f, false};
SubSceneTable g_subScenes{};

} // namespace

void tscene_meatmore::Load()
{
    LoadMontage(g_subScenes, kPlan);
}

void tscene_meatmore::Render(int32_t time)
{
    RenderMontage(g_subScenes, kPlan, Progress(time));
}
