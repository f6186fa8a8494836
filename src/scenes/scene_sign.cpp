// The sign scene, in drawing order.
#include "scenes/scene_sign.h"

#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/scene_frame.h"
#include "scenes/yard_setting.h"

#include <cmath>

namespace {

CameraPath g_path;
GLuint g_prepare = 0;

} // namespace

float SignBackdropSharpness(float p)
{
    const float s = std::sin(static_cast<float>(M_PI) * p);
    return s * s;
}

float SignFadeAlpha(float p)
{
    return std::cos(static_cast<float>(M_PI) * p / 2);
}

void tscene_sign::Load()
{
    LoadCameraPath(g_path, "data\\sign.camera");
    PrepareYardSetting();
    g_prepare = FindTexture(GlobalTextures, "prepare");
}

void tscene_sign::Render(int32_t time)
{
    const float p = Progress(time);
    // The blur reads the whole frame, so all of it is drawn (no clipping to the band).
    BeginSceneFrame(0, 0, 0, 0, g_path, 0.9f * p);
    DrawYardSetting();

    // The backdrop blurred by 1 - sharpness, the sign over it. The tint stays the current
    // colour, so the sign is drawn at the backdrop's sharpness too: it comes forward as the
    // blur clears.
    BlurBackdrop(SignBackdropSharpness(p));
    BindTextureId(g_prepare);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glTranslatef(0, -400, 4995);
    DrawGeoxTextured(SignMesh);
    glPopMatrix();
    glDisable(GL_BLEND);

    FinishFadedFrame(SignFadeAlpha(p), 135, 1, 1, 1, 0.75f);
}
