// The meatkilla montage.
#include "timeline/scene_meatkilla.h"

#include "timeline/montage.h"

namespace {

constexpr MontagePlan kPlan{{"killme", "killself", "killfall", "killthroat"}, 32, SubTimeRule::PerAppearance, 0.45f, true};
SubSceneTable g_subScenes{};

} // namespace

void tscene_meatkilla::Load()
{
    LoadMontage(g_subScenes, kPlan);
}

void tscene_meatkilla::Render(int32_t time)
{
    RenderMontage(g_subScenes, kPlan, Progress(time));
}
