// Cutting between sub-scenes.
#include "timeline/montage.h"

#include "gl/gl.h"
#include "render/lum_frame.h"
#include "timeline/scene_factory.h"

#include <cmath>

void LoadMontage(SubSceneTable& subScenes, const MontagePlan& plan)
{
    for (size_t slot = 0; slot < subScenes.size(); ++slot) subScenes[slot] = CreateScene(plan.subScenes[slot]);
    for (lum_genericscene* scene : subScenes) scene->Load();
    for (lum_genericscene* scene : subScenes) {
        scene->StartTime = 0;
        scene->EndTime = SubSceneSpan;
    }
}

MontageCut CutAt(const MontagePlan& plan, float p)
{
    // n * p is formed in double, like the integer parts: the cut lands exactly on k / n.
    const double scaled = static_cast<double>(plan.segments) * p;
    const int k = static_cast<int>(std::trunc(scaled));
    if (plan.rule == SubTimeRule::Continuous)
        return {k % 4, static_cast<int32_t>(std::trunc(static_cast<double>(SubSceneSpan) * p))};
    // Each sub-scene appears segments / 4 times; its j-th appearance plays the j-th piece of
    // its span: the integer part first (product, then division), the fraction as a float.
    const int pieces = plan.segments / 4;
    const int32_t pieceStart = (k / 4) * SubSceneSpan / pieces;
    const double withinSegment = scaled - std::trunc(scaled);
    return {k % 4, pieceStart + static_cast<int32_t>(std::trunc(withinSegment * SubSceneSpan / pieces))};
}

float PulseAt(const MontagePlan& plan, float p)
{
    const float wave = std::fabs(std::sin(static_cast<float>(plan.segments) * static_cast<float>(M_PI) * p));
    return plan.pulseDepth * (plan.sharpPulse ? std::sqrt(wave) : wave);
}

void RenderMontage(const SubSceneTable& subScenes, const MontagePlan& plan, float p)
{
    const MontageCut cut = CutAt(plan, p);
    if (plan.inBand[cut.slot]) ClipToPictureBand();
    subScenes[cut.slot]->Render(cut.subTime);
    glColor4f(1, 1, 1, 1);
    FinishFadedFrame(1 - PulseAt(plan, p), 135, 1, 1, 1, 0.5f);
}
