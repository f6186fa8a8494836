// Season: a flight over the landscape towards a black window frame that stands in the field;
// through the window lies the same landscape in the other look (colour or black and white),
// and as the camera passes through the window plane the two worlds swap.
#include "scenes/scene_season.h"

#include "base/gl.h"
#include "render/gl_matrix.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "render/lum_views.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "resources/lum_textures.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"

#include <algorithm>
#include <cmath>

CameraPath SeasonPath;

namespace {

LandscapeField g_field;
LandscapeTextures g_colour;
LandscapeTextures g_blackAndWhite;
GLuint g_font = 0;

// Where the first world can show: inside the picture of the window cut, which the second
// world leaves alone. False when none of the cut is in view. Both worlds draw the whole
// grass field; the first one only needs the part behind the window, which is a fraction of
// the picture for most of the flight.
struct WindowView {
    ViewRegion region;                 // normalised device coordinates, for the grass chunks
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // window pixels, for the scissor
};

bool FindWindowView(WindowView& view)
{
    GlMatrix clip, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, clip.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    clip.Multiply(modelview);
    // The cut as drawn: down 24, x0.51.
    clip.Translate(0.0f, -24.0f, 0.0f);
    clip.Scale(0.51f, 0.51f, 0.51f);
    float left = 1, right = -1, bottom = 1, top = -1;
    for (const GeoxVertex& vertex : SeasonCutMesh.vertices) {
        const float x = vertex.x, y = vertex.z, z = vertex.y;
        const float w = clip.m[3] * x + clip.m[7] * y + clip.m[11] * z + clip.m[15];
        // A corner at or behind the eye: the cut may cover any part of the picture.
        if (w < 0.1f) {
            view.region = PictureBandRegion;
            view.x0 = view.y0 = 0;
            view.x1 = OverlayWidth;
            view.y1 = OverlayHeight;
            return true;
        }
        const float ndcX = (clip.m[0] * x + clip.m[4] * y + clip.m[8] * z + clip.m[12]) / w;
        const float ndcY = (clip.m[1] * x + clip.m[5] * y + clip.m[9] * z + clip.m[13]) / w;
        left = std::min(left, ndcX);
        right = std::max(right, ndcX);
        bottom = std::min(bottom, ndcY);
        top = std::max(top, ndcY);
    }
    left = std::max(left, PictureBandRegion.left);
    right = std::min(right, PictureBandRegion.right);
    bottom = std::max(bottom, PictureBandRegion.bottom);
    top = std::min(top, PictureBandRegion.top);
    if (left >= right || bottom >= top) return false;
    view.region = {left, right, bottom, top};
    // A pixel of margin on every side covers the rasteriser's rounding.
    view.x0 = static_cast<int>(std::floor((left + 1.0f) * 0.5f * OverlayWidth)) - 1;
    view.x1 = static_cast<int>(std::ceil((right + 1.0f) * 0.5f * OverlayWidth)) + 1;
    view.y0 = static_cast<int>(std::floor((bottom + 1.0f) * 0.5f * OverlayHeight)) - 1;
    view.y1 = static_cast<int>(std::ceil((top + 1.0f) * 0.5f * OverlayHeight)) + 1;
    return true;
}

} // namespace

bool SeasonWindowShowsColour(float eyeZ)
{
    return eyeZ >= 0.0f;
}

float SeasonFade(float p)
{
    return 0.65f * std::sqrt(std::sin(static_cast<float>(M_PI) * p));
}

void tscene_season::Load()
{
    BuildLandscapeField(g_field);
    LoadCameraPath(SeasonPath, "data\\season.camera");
    g_colour = ColourLandscape();
    g_blackAndWhite = BlackAndWhiteLandscape();
    g_font = FindTexture(GlobalTextures, "font");
}

void tscene_season::Render(int32_t time)
{
    const float p = Progress(time);
    ClipToPictureBand();
    BeginSubSceneFrame(0.0f, 0.0f, 0.0f, 0.0f, SeasonPath, 0.88f * p);
    SetLandscapeFog(500.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const bool colourInside = SeasonWindowShowsColour(CurrentCamera.eyeZ);
    WindowView window;
    if (FindWindowView(window)) {
        ClipToPictureBand(window.x0, window.y0, window.x1, window.y1);
        DrawLandscape(g_field, colourInside ? g_colour : g_blackAndWhite, 50.0f, window.region);
        ClipToPictureBand();
    }
    glClear(GL_DEPTH_BUFFER_BIT);

    // The window frame, black (a folder without meshes has no frame to draw).
    BindTextureId(g_font);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glPushMatrix();
    glTranslatef(0.0f, -24.0f, 0.0f);
    glScalef(0.5f, 0.5f, 0.5f);
    if (!SeasonWindowList.meshes.empty()) DrawGeoxTextured(SeasonWindowList.meshes[0]);
    glPopMatrix();

    // The opening, depth only: the world drawn next stays out of it.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE);
    glPushMatrix();
    glTranslatef(0.0f, -24.0f, 0.0f);
    glScalef(0.51f, 0.51f, 0.51f);
    DrawGeoxPlain(SeasonCutMesh);
    glPopMatrix();
    glDisable(GL_BLEND);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawLandscape(g_field, colourInside ? g_blackAndWhite : g_colour, 50.0f, PictureBandRegion);

    DrawText("redrum", g_font, 160.0f, 220.0f, 50.0f, 50.0f, 40.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    DrawText("side", g_font, 160.0f, 260.0f, 50.0f, 50.0f, 40.0f, 0.0f, 0.0f, 0.0f, 1.0f);

    FinishFrameFadingToBlack(SeasonFade(p), 135, 1.0f, 1.0f, 1.0f, 0.75f);
}
