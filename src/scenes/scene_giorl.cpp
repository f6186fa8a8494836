// Giorl: against a blue sky a girl swings on a rusted frame beside a tree while small maple
// leaves snow down around her, and fire and ash fade in at the feet of the frame and the tree.
#include "scenes/scene_giorl.h"

#include "base/gl.h"
#include "base/random.h"
#include "render/leaf_batch.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "render/view_region.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "resources/lum_textures.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"

#include <cmath>

CameraPath GiorlPath;

namespace {


SnowLeaf g_leaves[GiorlLeafCount];
ListTextures g_giorlTextures;
ListTextures g_burnTextures;
LeafBatch g_leafBatch;
GLuint g_sky = 0;
GLuint g_leaf5 = 0;

float Frac(float v)
{
    return v - std::trunc(v);
}

float LeafSpeed(int i)
{
    return 1.0f + 3.0f * static_cast<float>(i) / 11000.0f;
}

} // namespace

const SnowLeaf& GiorlLeafAt(int i)
{
    return g_leaves[i];
}

float GiorlSwingDegrees(float p)
{
    return 45.0f * std::sin(16.0f * static_cast<float>(M_PI) * p);
}

bool GiorlMeshIsAlphaTested(std::string_view filteredName)
{
    return filteredName == "tree";
}

float GiorlLeafHeight(float p, int i, float phase)
{
    return 40.0f - 35.0f * Frac(LeafSpeed(i) * p / 6.0f + phase);
}

float GiorlFade(float p)
{
    return 0.99f * std::sqrt(std::sin(static_cast<float>(M_PI) * p));
}

void tscene_giorl::Load()
{
    LoadCameraPath(GiorlPath, "data\\giorl.camera");
    for (SnowLeaf& leaf : g_leaves) {
        leaf.x = static_cast<float>((Random01() - 0.5) * 80.0);
        leaf.z = static_cast<float>((Random01() - 0.5) * 80.0);
        leaf.phase = static_cast<float>(Random01());
    }
    g_giorlTextures = ResolveListTextures(GiorlList, "giorl.");
    g_burnTextures = ResolveListTextures(BurnList, "burn.");
    g_leafBatch.Prepare(LeafSmallMesh, GiorlLeafCount);
    g_sky = FindTexture(GlobalTextures, "sky");
    g_leaf5 = FindTexture(GlobalTextures, "leaf5");
}

void tscene_giorl::Render(int32_t time)
{
    const float p = Progress(time);
    ClipToPictureBand();
    BeginSceneFrame(0.0f, 0.0f, 1.0f, 0.0f, GiorlPath, 0.95f * p);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDepthMask(GL_TRUE);

    // The sky is drawn after the set and the leaves, in the fog state the frame began with.
    // Everything here lies well inside its sphere, so each pixel keeps the nearest surface in
    // either order; drawn last, its pixels behind the swing and the leaves fail the depth test
    // before they are shaded.
    const bool skyFogged = glIsEnabled(GL_FOG) == GL_TRUE;
    glDisable(GL_FOG);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    // The set; the swing and the girl on it turn about the bar at 16.7.
    const int giorlEntries = DrawableEntries(GiorlList, g_giorlTextures);
    for (int k = 0; k < giorlEntries; ++k) {
        glPushMatrix();
        if (k < 2) {
            glTranslatef(0.0f, 16.7f, 0.0f);
            glRotatef(GiorlSwingDegrees(p), 1.0f, 0.0f, 0.0f);
            glTranslatef(0.0f, -16.9f, 0.0f);
        }
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        BindTextureId(g_giorlTextures.ids[k]);
        if (GiorlMeshIsAlphaTested(GiorlList.filteredNames[k])) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.5f);
        }
        DrawGeoxTextured(GiorlList.meshes[k]);
        glAlphaFunc(GL_ALWAYS, 0.0f);
        glDisable(GL_ALPHA_TEST);
        glPopMatrix();
    }

    // Snow of leaves, cut out by the maple's alpha as in every other leaf scene.
    glEnable(GL_ALPHA_TEST);
    // GREATER draws the leaf; LESS would draw the quad's transparent surround with a leaf-shaped hole.
    glAlphaFunc(GL_GREATER, 0.5f);
    BindTextureId(g_leaf5);
    g_leafBatch.Begin(PictureBandRegion);
    g_leafBatch.AddEach(GiorlLeafCount, [&](int i, GlMatrix& m) {
        const SnowLeaf& leaf = g_leaves[i];
        const float s = Frac(LeafSpeed(i) * p + leaf.phase);
        m.Translate(leaf.x, GiorlLeafHeight(p, i, leaf.phase), leaf.z);
        m.Rotate(0.2f * 360.0f * std::sin(6.0f * static_cast<float>(M_PI) * s), 1.0f, 0.0f, 0.8f);
        m.Rotate(3.0f * 360.0f * s, 0.0f, i % 2 == 0 ? 1.0f : -1.0f, 0.0f);
        m.Scale(1.0f, 1.0f, 1.0f);
        return true;
    });
    g_leafBatch.Draw();
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glDisable(GL_ALPHA_TEST);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (skyFogged) glEnable(GL_FOG);
    DrawSkySphere(g_sky, 50.0f);
    glDisable(GL_FOG);

    // The burn set fades in over the span.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, p);
    DrawGeoxListTextured(BurnList, g_burnTextures);
    glDisable(GL_BLEND);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_FOG);
    FinishFadedFrame(GiorlFade(p), 135, 1.0f, 1.0f, 1.0f, 0.5f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
