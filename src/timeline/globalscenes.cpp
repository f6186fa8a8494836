// The scene table, made from the piece's schedule.
#include "timeline/globalscenes.h"

#include "base/piece_schedule.h"
#include "render/lum_frame.h"
#include "timeline/frame_clock.h"
#include "timeline/scene_factory.h"

lum_genericscene* SceneTable[kSceneSlotCount] = {};
int32_t MusicTime = 0;

namespace {

// The frame clock read once for the frame about to be drawn.
int32_t LatchFrameClock()
{
    SetNoiseTickCount(FrameTickCount());
    return FrameMusicTime();
}

} // namespace

void InitialiseSceneTable()
{
    if (SceneTable[0]) return;
    // Objects are made in slot order and live until the process ends; nothing loads yet.
    for (const ScheduledScene& entry : PieceSchedule) {
        lum_genericscene* scene = CreateScene(entry.name);
        scene->StartTime = entry.startMs;
        scene->EndTime = entry.endMs;
        SceneTable[entry.slot] = scene;
    }
}

void RenderFrame()
{
    MusicTime = LatchFrameClock();
    for (lum_genericscene* scene : SceneTable)
        if (scene && scene->Progress(MusicTime) != -1.0f) scene->Render(MusicTime);
}

void RenderSceneAlone(lum_genericscene& scene, int32_t time)
{
    LatchFrameClock();
    MusicTime = time;
    scene.Render(time);
}

bool PieceHasEnded(int32_t time)
{
    return time >= PieceEndMs();
}
