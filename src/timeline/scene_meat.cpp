// The meat montage.
#include "timeline/scene_meat.h"

#include "timeline/montage.h"

namespace {

constexpr MontagePlan kPlan{{"waterover", "stair", "cup", "intro"}, 16, SubTimeRule::PerAppearance, 0.6f, false};
SubSceneTable g_subScenes{};

} // namespace

void tscene_meat::Load()
{
    LoadMontage(g_subScenes, kPlan);
}

void tscene_meat::Render(int32_t time)
{
    RenderMontage(g_subScenes, kPlan, Progress(time));
}
