// Kill-scene building blocks.
#include "scenes/kill_blocks.h"

#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"

#include <string>

namespace {

GLuint g_bigShadow = 0;

} // namespace

void PrepareKillBlocks()
{
    g_bigShadow = FindTexture(GlobalTextures, "bigshadow");
}

void ApplyKillerPlacement()
{
    glTranslatef(-240, 0, -230);
    glRotatef(210, 0, 1, 0);
    glTranslatef(0, 8, 0);
    glScalef(4, 4, 4);
}

void DrawShadow(float alpha, const GlMatrix& placement)
{
    glPushMatrix();
    BindTextureId(g_bigShadow);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, alpha);
    glMultMatrixf(placement.m);
    DrawGeoxTextured(PlaneMesh);
    glDisable(GL_BLEND);
    glPopMatrix();
}

void DrawKillerShadow()
{
    // The killer's placement without its lift, then the blot under his feet.
    GlMatrix placement;
    placement.Translate(-240, 0, -230);
    placement.Rotate(210, 0, 1, 0);
    placement.Scale(4, 4, 4);
    placement.Translate(11, 4.75f, -51);
    placement.Scale(8.75f, 8.75f, 8.75f);
    glDepthMask(GL_FALSE);
    DrawShadow(0.61f, placement);
    glDepthMask(GL_TRUE);
}

std::array<GLuint, 5> FindLeafTextures()
{
    std::array<GLuint, 5> textures{};
    for (int k = 1; k <= 5; ++k) textures[k - 1] = FindTexture(GlobalTextures, "leaf" + std::to_string(k));
    return textures;
}

void DrawAlphaTestedLeaves(LeafBatch& batch, GLuint texture, LeafOrder order)
{
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    BindTextureId(texture);
    if (order == LeafOrder::NearestFirst) batch.DrawNearestFirst();
    else batch.Draw();
    glAlphaFunc(GL_ALWAYS, 0);
    glDisable(GL_ALPHA_TEST);
}

void TumbleLeaf(GlMatrix& leaf, bool even, float p, float m, float h)
{
    const float turn = (1.17f * p * m + h) * 2520;
    if (even) leaf.Rotate(turn, 0.7259231f * m, 1, 0.52389467f);
    else leaf.Rotate(-turn, 0.7259231f, 1, 0.52389467f * m);
}

float HalfProgress(float p)
{
    return p < 0.5f ? p : p - 0.5f;
}

float FlyOneOfTwoPaths(float p, const CameraPath& first, float firstFactor, const CameraPath& second,
                       float secondFactor)
{
    const float half = HalfProgress(p);
    if (p < 0.5f) EvaluateCameraPath(CurrentCamera, first, firstFactor * half);
    else EvaluateCameraPath(CurrentCamera, second, secondFactor * half);
    ApplyCamera(CurrentCamera);
    return half;
}
