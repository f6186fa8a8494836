// The landscape field and its drawing.
#include "scenes/landscape_field.h"

#include "base/random.h"
#include "render/lum_views.h"
#include "render/mesh_batch.h"
#include "resources/lum_textures.h"

namespace {

LandscapeTextures ResolveLandscape(const char* sky, const char* ground, const char* grass, const char* tree)
{
    return {FindTexture(GlobalTextures, sky), FindTexture(GlobalTextures, ground),
            FindTexture(GlobalTextures, grass), FindTexture(GlobalTextures, tree)};
}

float Centred(float scale)
{
    return static_cast<float>((Random01() - 0.5) * scale);
}

} // namespace

LandscapeTextures ColourLandscape()
{
    return ResolveLandscape("sky", "grassbottom", "grass", "tree");
}

LandscapeTextures BlackAndWhiteLandscape()
{
    return ResolveLandscape("skybw", "grassbottombw", "grassbw", "treebw");
}

void PlaceGrassTufts(LandscapeField& field)
{
    for (Float3& tuft : field.tufts) {
        tuft.x = Centred(800);
        tuft.y = static_cast<float>((Random01() - 0.5) * 2 - 24);
        tuft.z = Centred(800);
    }
}

void PlaceTrees(LandscapeField& field)
{
    for (Float3& tree : field.trees) {
        tree.x = static_cast<float>(Random01() * 200 + 50);
        tree.z = static_cast<float>(Random01() * 200 + 50);
        tree.y = 0;
        if (Random01() > 0.5) tree.x = -tree.x;
        if (Random01() > 0.5) tree.z = -tree.z;
    }
}

void CompileGrassField(LandscapeField& field)
{
    MeshBatch grass;
    for (const Float3& tuft : field.tufts) {
        GlMatrix placement;
        placement.Translate(tuft.x, tuft.y, tuft.z);
        const double a = Random01();
        const double b = Random01();
        placement.Scale(2, static_cast<float>(1 + 2 * a * b), 2);
        placement.Rotate(static_cast<float>(Random01() * 360), 0, 1, 0);
        grass.Add(GrassMesh, placement);
    }
    field.grassList = grass.CompileList();
}

void CompileTrees(LandscapeField& field)
{
    MeshBatch trees;
    for (int i = 0; i < LandscapeTreeCount; ++i) {
        GlMatrix placement;
        placement.Translate(field.trees[i].x, 0, field.trees[i].z);
        placement.Scale(1 + i / 15.0f, 1 + i / 10.0f, 1 + i / 15.0f);
        placement.Rotate(i * 360.0f / 16.0f, 0, 1, 0);
        placement.Translate(0, -14, 0);
        trees.Add(TreeMesh, placement);
    }
    field.treeList = trees.CompileList();
}

void BuildLandscapeField(LandscapeField& field)
{
    PlaceGrassTufts(field);
    PlaceTrees(field);
    CompileGrassField(field);
    CompileTrees(field);
}

void SetLandscapeFog(float end)
{
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0);
    glFogf(GL_FOG_END, end);
}

void DrawLandscape(const LandscapeField& field, const LandscapeTextures& textures, float skyScale)
{
    BindTextureId(textures.sky);
    glPushMatrix();
    glScalef(skyScale, skyScale, skyScale);
    DrawGeoxTextured(SphereMesh);
    glPopMatrix();

    const GLfloat white[4] = {1, 1, 1, 1};
    glFogfv(GL_FOG_COLOR, white);
    glEnable(GL_FOG);

    BindTextureId(textures.ground);
    glPushMatrix();
    glScalef(64, 1, 64);
    glTranslatef(0, -24, 0);
    DrawGeoxTextured(PlaneMesh);
    glPopMatrix();

    BindTextureId(textures.grass);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glCallList(field.grassList);
    glAlphaFunc(GL_ALWAYS, 0);
    glDisable(GL_ALPHA_TEST);

    BindTextureId(textures.tree);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    CallListIsolated(field.treeList);
    glAlphaFunc(GL_ALWAYS, 0);
    glDisable(GL_ALPHA_TEST);

    glDisable(GL_FOG);
}
