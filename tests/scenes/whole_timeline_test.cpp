// The whole piece, offline, every quarter of a second from the first frame to the end, in one
// process as a run draws it: no GL error after any frame, a finite camera after every frame,
// no sub-scene given a time outside its span, and the same picture for the same time drawn
// twice in a row. The repeats are compared with each other, not with the frame in the run:
// a frame may rightly differ from its repeat when the frame before it left other state (the
// first water frame sets the depth function for the rest of the piece; baken and atom draw
// with the colour the frame before left).
#include "base/piece_schedule.h"
#include "capture/shot.h"
#include "gl/gl.h"
#include "render/lum_globals.h"
#include "support/offline.h"
#include "timeline/globalscenes.h"
#include "timeline/montage.h"
#include "timeline/scene_factory.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const lum_genericscene* ActiveScene(int32_t ms)
{
    for (const lum_genericscene* scene : SceneTable)
        if (scene && scene->Progress(ms) != -1.0f) return scene;
    return nullptr;
}

// The plan of the montage playing at ms, if one is.
const MontagePlan* MontageAt(int32_t ms)
{
    const lum_genericscene* scene = ActiveScene(ms);
    const std::string_view name = scene ? SceneClassName(*scene) : std::string_view();
    if (name == "meat") return &MeatPlan;
    if (name == "meatmore") return &MeatMorePlan;
    if (name == "meatrepeat") return &MeatRepeatPlan;
    if (name == "meatkilla") return &MeatKillaPlan;
    return nullptr;
}

bool FiniteCamera(const CameraRecord& camera)
{
    for (float CameraRecord::*field : CameraFields)
        if (!std::isfinite(camera.*field)) return false;
    return true;
}

TEST(WholeTimeline, EveryQuarterSecondDrawsCleanlyAndTheSameTwice)
{
    ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece());
    while (glGetError() != GL_NO_ERROR) {
    }
    int frames = 0;
    for (int32_t ms = 0; ms < PieceEndMs(); ms += 250, ++frames) {
        RenderOfflineFrame(ms);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "at " << ms << " ms";
        ASSERT_TRUE(FiniteCamera(CurrentCamera)) << "at " << ms << " ms";
        if (const MontagePlan* plan = MontageAt(ms)) {
            const MontageCut cut = CutAt(*plan, ActiveScene(ms)->Progress(ms));
            ASSERT_GE(cut.subTime, 0) << "at " << ms << " ms";
            ASSERT_LT(cut.subTime, SubSceneSpan) << "at " << ms << " ms";
        }
        RenderOfflineFrame(ms);
        const std::vector<uint8_t> again = ReadFrameTopDown();
        RenderOfflineFrame(ms);
        ASSERT_TRUE(again == ReadFrameTopDown()) << "the frame at " << ms << " ms drawn again differs";
    }
    EXPECT_EQ(frames, 1232);
    ClearPieceEnd();
}

} // namespace
