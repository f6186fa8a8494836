// The landscape field and its drawing.
#include "scenes/landscape_field.h"

#include "base/random.h"
#include "render/lum_views.h"
#include "render/mesh_batch.h"
#include "resources/lum_textures.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// The chunk a tuft belongs to by its place; tufts on or past the field's edge go to the
// outermost chunks.
int ChunkOf(const Float3& tuft)
{
    auto cell = [](float v) {
        return std::clamp(static_cast<int>(std::floor((v + 400.0f) * GrassChunkSide / 800.0f)), 0, GrassChunkSide - 1);
    };
    return cell(tuft.z) * GrassChunkSide + cell(tuft.x);
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
    std::vector<MeshBatch> chunks(GrassChunkCount);
    for (const Float3& tuft : field.tufts) {
        GlMatrix placement;
        placement.Translate(tuft.x, tuft.y, tuft.z);
        const double a = Random01();
        const double b = Random01();
        placement.Scale(2, static_cast<float>(1 + 2 * a * b), 2);
        placement.Rotate(static_cast<float>(Random01() * 360), 0, 1, 0);
        chunks[ChunkOf(tuft)].Add(GrassMesh, placement);
    }
    MeshBatch wholeField;
    for (int c = 0; c < GrassChunkCount; ++c) {
        GrassChunk& chunk = field.grass[c];
        chunk.firstIndex = wholeField.IndexCount();
        chunk.indexCount = chunks[c].IndexCount();
        if (chunk.indexCount > 0) chunks[c].TexCoordAtIndex(chunk.indexCount - 1, chunk.lastTexCoord);
        chunks[c].Bounds(chunk.lo, chunk.hi);
        wholeField.Append(chunks[c]);
    }
    field.grassBuffers = wholeField.Upload();
}

void DrawGrassField(const LandscapeField& field, const ViewRegion& region, HiddenBox hidden)
{
    GlMatrix clip, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, clip.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    clip.Multiply(modelview);
    // The planes that bound the region, each as a x + b y + c z + d >= 0 inside, from the
    // rows of the clip matrix: x >= left w, x <= right w, y >= bottom w, y <= top w, z >= -w.
    auto row = [&](int r, int k) { return clip.m[4 * k + r]; };
    float planes[5][4];
    for (int k = 0; k < 4; ++k) {
        planes[0][k] = row(0, k) - region.left * row(3, k);
        planes[1][k] = region.right * row(3, k) - row(0, k);
        planes[2][k] = row(1, k) - region.bottom * row(3, k);
        planes[3][k] = region.top * row(3, k) - row(1, k);
        planes[4][k] = row(2, k) + row(3, k);
    }
    // Chunks lie one after another in the buffers, so each run of them in view is one draw
    // (an empty chunk neither breaks a run nor adds to it).
    int runFirst = 0, runCount = 0;
    const GrassChunk* last = nullptr;
    for (const GrassChunk& chunk : field.grass) {
        if (chunk.lo[0] > chunk.hi[0]) continue; // no tuft fell in it
        bool outside = false;
        for (const float(&plane)[4] : planes) {
            // The corner of the box farthest inside the plane.
            const float x = plane[0] >= 0 ? chunk.hi[0] : chunk.lo[0];
            const float y = plane[1] >= 0 ? chunk.hi[1] : chunk.lo[1];
            const float z = plane[2] >= 0 ? chunk.hi[2] : chunk.lo[2];
            if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] < 0) {
                outside = true;
                break;
            }
        }
        if (outside || (hidden && hidden(chunk.lo, chunk.hi))) {
            DrawMeshRange(field.grassBuffers, runFirst, runCount);
            runCount = 0;
            continue;
        }
        if (runCount == 0) runFirst = chunk.firstIndex;
        runCount += chunk.indexCount;
        last = &chunk;
    }
    DrawMeshRange(field.grassBuffers, runFirst, runCount);
    if (last) glTexCoord2fv(last->lastTexCoord);
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

void BuildLandscapeField(LandscapeField& field, ModelviewReset reset)
{
    PlaceGrassTufts(field);
    PlaceTrees(field);
    if (reset == ModelviewReset::BeforeEachList) glLoadIdentity();
    CompileGrassField(field);
    if (reset == ModelviewReset::BeforeEachList) glLoadIdentity();
    CompileTrees(field);
}

void SetLandscapeFog(float end)
{
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0);
    glFogf(GL_FOG_END, end);
}

void DrawSkySphere(GLuint texture, float scale)
{
    BindTextureId(texture);
    glPushMatrix();
    glScalef(scale, scale, scale);
    DrawGeoxTextured(SphereMesh);
    glPopMatrix();
}

void DrawLandscape(const LandscapeField& field, const LandscapeTextures& textures, float skyScale,
                   const ViewRegion& region, HiddenBox hidden)
{
    DrawSkySphere(textures.sky, skyScale);

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
    if (textures.grassSampler != 0) glBindSampler(0, textures.grassSampler);
    DrawGrassField(field, region, hidden);
    if (textures.grassSampler != 0) glBindSampler(0, 0);
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
