// Season: a flight over the landscape towards a black window frame that stands in the field;
// through the window lies the same landscape in the other look (colour or black and white),
// and as the camera passes through the window plane the two worlds swap.
#include "scenes/scene_season.h"

#include "gl/gl.h"
#include "render/gl_matrix.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "resources/lum_textures.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

CameraPath SeasonPath;

namespace {

LandscapeField g_field;
// The window cut as drawn (down 24, x0.51) when it is a flat rectangle in a plane of constant
// z: x0..x1, y0..y1 at z. The second world's grass behind it need not be drawn.
struct CutRectangle {
    bool valid = false;
    float x0, x1, y0, y1, z;
};
CutRectangle g_cut;
LandscapeTextures g_colour;
LandscapeTextures g_blackAndWhite;
GLuint g_font = 0;
// True when the two looks cut their grass and trees out alike (see WorldsCutOutAlike): then
// the first world need only be drawn where the window shows it.
bool g_firstWorldBehindWindowOnly = false;

// Where the first world can show, in normalised device coordinates (for the grass chunks and
// the scissor): inside the picture of the window cut, which the second world leaves alone.
// False when none of the cut is in view. Both worlds draw the whole grass field; the first
// one only needs the part behind the window, which is a fraction of the picture for most of
// the flight.
bool FindWindowView(ViewRegion& view)
{
    GlMatrix clip, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, clip.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    clip.Multiply(modelview);
    // The cut as drawn: down 24, x0.51.
    clip.Translate(0.0f, -24.0f, 0.0f);
    clip.Scale(0.51f, 0.51f, 0.51f);
    float left = 1, right = -1, bottom = 1, top = -1;
    int nearCorners = 0, farCorners = 0;
    for (const GeoxVertex& vertex : SeasonCutMesh.vertices) {
        const float x = vertex.x, y = vertex.z, z = vertex.y;
        const float w = clip.m[3] * x + clip.m[7] * y + clip.m[11] * z + clip.m[15];
        // Corners at or behind the near plane (0.1) are counted, not projected.
        if (w < 0.1f) {
            ++nearCorners;
            continue;
        }
        ++farCorners;
        const float ndcX = (clip.m[0] * x + clip.m[4] * y + clip.m[8] * z + clip.m[12]) / w;
        const float ndcY = (clip.m[1] * x + clip.m[5] * y + clip.m[9] * z + clip.m[13]) / w;
        left = std::min(left, ndcX);
        right = std::max(right, ndcX);
        bottom = std::min(bottom, ndcY);
        top = std::max(top, ndcY);
    }
    // Wholly behind the near plane: the cut is clipped away and hides nothing.
    if (farCorners == 0) return false;
    // Partly behind: it may cover any part of the picture.
    if (nearCorners > 0) {
        view = PictureBandRegion;
        return true;
    }
    left = std::max(left, PictureBandRegion.left);
    right = std::min(right, PictureBandRegion.right);
    bottom = std::max(bottom, PictureBandRegion.bottom);
    top = std::min(top, PictureBandRegion.top);
    if (left >= right || bottom >= top) return false;
    view = {left, right, bottom, top};
    return true;
}

// The cut's rectangle, when its triangles lie in one plane of constant z and cover their
// bounds: only then does the depth it writes hide everything seen through that rectangle.
CutRectangle FindCutRectangle(const GeoxMesh& cut)
{
    CutRectangle rect;
    if (cut.vertices.empty()) return rect;
    auto place = [](const GeoxVertex& v) { return std::array<float, 3>{0.51f * v.x, 0.51f * v.z - 24.0f, 0.51f * v.y}; };
    const std::array<float, 3> first = place(cut.vertices[0]);
    float x0 = first[0], x1 = first[0], y0 = first[1], y1 = first[1];
    for (const GeoxVertex& vertex : cut.vertices) {
        const std::array<float, 3> p = place(vertex);
        if (p[2] != first[2]) return rect;
        x0 = std::min(x0, p[0]);
        x1 = std::max(x1, p[0]);
        y0 = std::min(y0, p[1]);
        y1 = std::max(y1, p[1]);
    }
    double area = 0;
    for (const GeoxTriangle& triangle : cut.triangles) {
        const std::array<float, 3> a = place(cut.vertices[triangle.i0]), b = place(cut.vertices[triangle.i1]),
                                   c = place(cut.vertices[triangle.i2]);
        area += std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2.0;
    }
    const double bounds = static_cast<double>(x1 - x0) * (y1 - y0);
    if (bounds <= 0 || area < bounds * (1 - 1e-4) || area > bounds * (1 + 1e-4)) return rect;
    return {true, x0, x1, y0, y1, first[2]};
}

// True when every corner of the box lies beyond the cut's plane from the eye and is seen
// through the cut's rectangle where the cut is drawn (past the near plane at 0.1): the box
// is then wholly inside the pyramid the cut hides. Checking the corners is enough: the points
// where the box's rays cross the plane make a convex patch, whose depth is least at a corner.
bool BehindWindowCut(const float lo[3], const float hi[3])
{
    if (!g_cut.valid) return false;
    const CameraRecord& camera = CurrentCamera;
    const float eye[3] = {camera.eyeX, camera.eyeY, camera.eyeZ};
    float forward[3] = {camera.centerX - eye[0], camera.centerY - eye[1], camera.centerZ - eye[2]};
    const float length = std::sqrt(forward[0] * forward[0] + forward[1] * forward[1] + forward[2] * forward[2]);
    const float eyeSide = eye[2] - g_cut.z;
    if (eyeSide == 0.0f || !(length > 0.0f)) return false;
    for (float& axis : forward) axis /= length;
    for (int corner = 0; corner < 8; ++corner) {
        const float c[3] = {corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1], corner & 4 ? hi[2] : lo[2]};
        const float cornerSide = c[2] - g_cut.z;
        if (cornerSide * eyeSide >= 0.0f) return false;
        const float t = eyeSide / (eyeSide - cornerSide);
        const float x = eye[0] + t * (c[0] - eye[0]), y = eye[1] + t * (c[1] - eye[1]);
        if (x < g_cut.x0 || x > g_cut.x1 || y < g_cut.y0 || y > g_cut.y1) return false;
        const float crossingDepth =
            t * (forward[0] * (c[0] - eye[0]) + forward[1] * (c[1] - eye[1]) + forward[2] * (c[2] - eye[2]));
        if (crossingDepth < 0.2f) return false;
    }
    return true;
}

// The texture's alpha at every level with the filters that sample it, or nothing for
// texture 0 (which draws untextured: alpha 1 everywhere).
struct CutOut {
    GLint minFilter = 0, magFilter = 0;
    std::vector<std::array<GLint, 2>> sizes;
    std::vector<uint8_t> alpha;
};

CutOut CutOutOf(GLuint texture)
{
    CutOut cutOut;
    if (texture == 0) return cutOut;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &cutOut.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &cutOut.magFilter);
    std::vector<uint8_t> rgba;
    for (GLint level = 0;; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0) break;
        cutOut.sizes.push_back({width, height});
        rgba.resize(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        for (size_t i = 3; i < rgba.size(); i += 4) cutOut.alpha.push_back(rgba[i]);
    }
    return cutOut;
}

bool SameCutOut(GLuint a, GLuint b)
{
    const CutOut first = CutOutOf(a), second = CutOutOf(b);
    return first.minFilter == second.minFilter && first.magFilter == second.magFilter && first.sizes == second.sizes &&
           first.alpha == second.alpha;
}

// Both worlds are the same field under the same camera: the same triangles cover the same
// pixels, and only the alpha test of the grass and the trees can keep a fragment of one and
// drop the other's. When the two looks' grass and tree textures have the same alpha, sampled
// alike, the first world draws no pixel that the second leaves uncovered, outside the window
// and its frame; so it need only be drawn behind the window, whatever the sky and the ground
// cover. Otherwise it is drawn whole.
bool WorldsCutOutAlike(const LandscapeTextures& a, const LandscapeTextures& b)
{
    const bool alike = SameCutOut(a.grass, b.grass) && SameCutOut(a.tree, b.tree);
    glBindTexture(GL_TEXTURE_2D, 0);
    return alike;
}

} // namespace

const LandscapeField& SeasonField()
{
    return g_field;
}

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
    g_cut = FindCutRectangle(SeasonCutMesh);
    PrepareDrawing();
}

void tscene_season::PrepareDrawing()
{
    g_colour = ColourLandscape();
    g_blackAndWhite = BlackAndWhiteLandscape();
    g_font = FindTexture(GlobalTextures, "font");
    g_firstWorldBehindWindowOnly = WorldsCutOutAlike(g_colour, g_blackAndWhite);
}

void tscene_season::Render(int32_t time)
{
    DrawFrame(time, g_firstWorldBehindWindowOnly ? FirstWorld::BehindTheWindow : FirstWorld::Whole);
}

void tscene_season::RenderWithTheFirstWorldWhole(int32_t time)
{
    DrawFrame(time, FirstWorld::Whole);
}

void tscene_season::DrawFrame(int32_t time, FirstWorld firstWorld)
{
    const float p = Progress(time);
    ClipToPictureBand();
    BeginSceneFrame(0.0f, 0.0f, 0.0f, 0.0f, SeasonPath, 0.88f * p);
    SetLandscapeFog(500.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const bool colourInside = SeasonWindowShowsColour(CurrentCamera.eyeZ);
    const LandscapeTextures& inside = colourInside ? g_colour : g_blackAndWhite;
    ViewRegion window;
    if (firstWorld == FirstWorld::Whole) {
        DrawLandscape(g_field, inside, 50.0f, PictureBandRegion);
    } else if (FindWindowView(window)) {
        ClipToPictureBand(window);
        DrawLandscape(g_field, inside, 50.0f, window);
        ClipToPictureBand();
    }
    ClearWholeWindow(GL_DEPTH_BUFFER_BIT);

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
    DrawLandscape(g_field, colourInside ? g_blackAndWhite : g_colour, 50.0f, PictureBandRegion, BehindWindowCut);

    DrawText("redrum", g_font, 160.0f, 220.0f, 50.0f, 50.0f, 40.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    DrawText("side", g_font, 160.0f, 260.0f, 50.0f, 50.0f, 40.0f, 0.0f, 0.0f, 0.0f, 1.0f);

    FinishFrameFadingToBlack(SeasonFade(p), 135, 1.0f, 1.0f, 1.0f, 0.75f);
}
