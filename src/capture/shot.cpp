// Single frames rendered offline.
#include "capture/shot.h"

#include "base/error.h"
#include "base/piece_schedule.h"
#include "capture/png_writer.h"
#include "gl/gl.h"
#include "scenes/scene_outro.h"
#include "timeline/frame_clock.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <algorithm>
#include <array>
#include <cstdio>

void RenderOfflineFrame(int32_t musicMs)
{
    SetOfflineFrameTime(musicMs);
    RenderFrame();
    glFinish();
}

void RenderOfflineFrameAsPlayed(int32_t musicMs)
{
    RenderOfflineFrameAsPlayedAfter(-1, musicMs);
}

namespace {

// One frame of each timeline scene that started after previousMs and ended before musicMs, in
// time order: the state such a scene leaves for the rest of the piece.
void RenderEndedScenes(int32_t previousMs, int32_t musicMs)
{
    std::array<ScheduledScene, PieceSchedule.size()> inTimeOrder = PieceSchedule;
    std::sort(inTimeOrder.begin(), inTimeOrder.end(),
              [](const ScheduledScene& a, const ScheduledScene& b) { return a.startMs < b.startMs; });
    for (const ScheduledScene& scene : inTimeOrder)
        if (scene.startMs > previousMs && scene.endMs <= musicMs) RenderOfflineFrame(scene.startMs);
}

} // namespace

void RenderOfflineFrameAsPlayedAfter(int32_t previousMs, int32_t musicMs)
{
    RenderEndedScenes(previousMs, musicMs);
    constexpr int32_t kFramePeriodMs = 17; // 1000 / 60, rounded
    if (musicMs >= kFramePeriodMs) RenderOfflineFrame(musicMs - kFramePeriodMs);
    RenderOfflineFrame(musicMs);
}

void RenderOfflineFrameAfterFrame(int32_t frameBeforeMs, int32_t musicMs)
{
    RenderEndedScenes(-1, musicMs);
    RenderOfflineFrame(frameBeforeMs);
    RenderOfflineFrame(musicMs);
}

int32_t FrameMusicTime(int64_t frame, int fps)
{
    return static_cast<int32_t>(frame * 1000 / fps);
}

int64_t PlayedFrameCount(int fps)
{
    const lum_genericscene* outro = FindSceneObject("outro");
    for (int64_t frame = 0;; ++frame) {
        const int32_t time = FrameMusicTime(frame, fps);
        if (PieceHasEnded(time)) return frame;
        if (outro && tscene_outro::EndsPieceAt(outro->Progress(time))) return frame + 1;
    }
}

void RenderSceneOffline(lum_genericscene& scene, int32_t msIntoSpan)
{
    const int32_t time = scene.StartTime + msIntoSpan;
    if (std::find(std::begin(SceneTable), std::end(SceneTable), &scene) != std::end(SceneTable)) {
        // A timeline scene alone is its timeline frame: nothing is drawn over either.
        RenderOfflineFrameAsPlayed(time);
        return;
    }
    // A sub-scene starts from what a montage frame hands it, whatever was drawn before: the
    // colour the montage's glow leaves and the depth function the water scenes set.
    glColor4f(1, 1, 1, 0.5f);
    glDepthFunc(GL_LEQUAL);
    SetOfflineFrameTime(time);
    RenderSceneAlone(scene, time);
    glFinish();
}

std::vector<uint8_t> ReadFrameTopDown()
{
    const PixelSize picture = PictureSize();
    const ptrdiff_t rowBytes = static_cast<ptrdiff_t>(picture.width) * 3;
    std::vector<uint8_t> bottomUp;
    ReadPicturePixels(bottomUp);
    std::vector<uint8_t> topDown(bottomUp.size());
    ShrinkByBlocks(bottomUp.data() + (picture.height - 1) * rowBytes, -rowBytes, picture.width, picture.height, 1,
                   topDown.data(), static_cast<size_t>(rowBytes));
    return topDown;
}

int WriteFramePng(const std::string& pngPath, const OutputFrame& output)
{
    try {
        FrameGrabber grabber(output);
        WritePngRgb(pngPath, output.size.width, output.size.height, grabber.Read());
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern: %s\n", error.what());
        return 1;
    }
    return 0;
}
