// The smallfall scene, in drawing order.
#include "scenes/scene_smallfall.h"

#include "base/random.h"
#include "base/two_threads.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/kill_blocks.h"
#include "scenes/scene_frame.h"
#include "scenes/yard_setting.h"

#include <array>
#include <cmath>

namespace {

constexpr int Kinds = 5, LeavesPerKind = 2051;


CameraPath g_path;
HangingLeaf g_leavesOf[Kinds][LeavesPerKind];
// A batch per kind, so that every kind is placed before the first is drawn.
LeafBatch g_leaves[Kinds];
std::array<GLuint, Kinds> g_leafTextures{};
GLuint g_font = 0;

float Frac(float x)
{
    return x - std::floor(x);
}

} // namespace

const HangingLeaf& SmallfallLeafOfLoad(int k, int j)
{
    return g_leavesOf[k][j];
}

float WobbledProgress(float p0)
{
    return p0 - std::sin(2 * static_cast<float>(M_PI) * Frac(8 * p0)) / 60;
}

SmallfallLeafPose SmallfallLeafAt(int j, float s, float c, float u)
{
    SmallfallLeafPose pose;
    pose.yaw = (1 + 2.0f * j / 2050) * 360 * u;
    if (u <= 0.2f) {
        pose.x = s;
        pose.y = 0;
        pose.z = -10 * u / 0.2f;
        pose.pitch = 0;
    } else {
        const float v = (u - 0.2f) / 0.8f;
        pose.x = (1 + 2.5f * v) * s;
        pose.y = -2300 * v * v;
        pose.z = c * std::sqrt(v) - 10 - 2150 * v;
        pose.pitch = (1 + 3.0f * j / 2050) * 360 * v;
    }
    if (j % 2 == 0) pose.yaw = -pose.yaw;
    if (j % 3 == 0) pose.pitch = -pose.pitch;
    return pose;
}

void tscene_smallfall::Load()
{
    LoadCameraPath(g_path, "data\\smallfall.camera");
    for (auto& kind : g_leavesOf) {
        for (HangingLeaf& leaf : kind) {
            leaf.spread = static_cast<float>((Random01() - 0.5) * 220);
            leaf.phase = static_cast<float>(Random01());
            leaf.drift = static_cast<float>((Random01() - 0.5) * 2150 * 0.7);
        }
    }

    PrepareYardSetting();
    g_leafTextures = FindLeafTextures();
    g_font = FindTexture(GlobalTextures, "font");
    for (LeafBatch& batch : g_leaves) batch.Prepare(LeafSmallMesh, LeavesPerKind);
}

namespace {

// Each leaf hangs at its own height (2430 to 2660, rising with j) at depth 1810 and runs
// through four fall cycles over the scene; low j dark, the last ones white.
void PlaceHangingLeaves(int k, float p)
{
    for (int j = 0; j < LeavesPerKind; ++j) {
        const HangingLeaf& leaf = g_leavesOf[k][j];
        const SmallfallLeafPose pose = SmallfallLeafAt(j, leaf.spread, leaf.drift, Frac(4 * p + leaf.phase));
        GlMatrix m;
        m.Translate(pose.x, pose.y + 2430 + 230.0f * j / 2050, pose.z + 1810);
        m.Rotate(pose.yaw, 0, 1, 0);
        m.Rotate(pose.pitch, 1, 0, 0);
        m.Scale(40, 80, 40);
        const float grey = static_cast<float>(j) / 2050;
        g_leaves[k].Add(m, grey, grey, grey, 1);
    }
}

} // namespace

void tscene_smallfall::Render(int32_t time)
{
    const float p = WobbledProgress(Progress(time));
    // Nothing reads the frame before the letterbox covers the bars.
    ClipToPictureBand();
    BeginSceneFrame(0, 0, 0, 0, g_path, 0.83f * p);
    for (LeafBatch& batch : g_leaves) batch.Begin();
    // The leaves are placed on the helper thread while this one sends the yard; the renderer's
    // threads then fill the yard while the leaves are sent.
    RunAlongside([p] { for (int k = 0; k < Kinds; ++k) PlaceHangingLeaves(k, p); },
                 [] {
                     DrawYardSetting();
                     glFlush();
                 });
    for (int k = 0; k < Kinds; ++k) DrawAlphaTestedLeaves(g_leaves[k], g_leafTextures[k], LeafOrder::NearestFirst);
    glColor4f(1, 1, 1, 1);

    // In from black by p = 0.0625, slowly back to black toward the end.
    DrawFade(std::fabs(std::sin(static_cast<float>(M_PI) * std::sqrt(std::sqrt(Frac(p))))));
    DrawText("READY TO RUST?", g_font, 320, 240, 50 * p, 50 * p, 30, 1, 1, 1, p);
    FinishFrame(135, 1, 1, 1, 0.5f);
}
