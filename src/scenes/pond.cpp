// The pond: waves, surface, reflection, shadows and floating leaves.
#include "scenes/pond.h"

#include "render/lum_views.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "resources/lum_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

GLuint g_water = 0;
GLuint g_flatSky = 0;
GLuint g_leaf = 0;
GLuint g_shadow = 0;
// How many triangle corners name each surface vertex: the triangles never change, so the
// normals are renewed every frame from counts made once.
std::vector<int32_t> g_surfaceUses;

// Heights of `moved` := scale * WaveHeight(rest x, rest y) + lift, vertex by vertex. Only x
// and y are read from the rest shape; the moved mesh's own x and y are never written.
void LiftFromRest(const GeoxMesh& rest, GeoxMesh& moved, float w, float a, float scale, float lift)
{
    const size_t vertices = std::min(rest.vertices.size(), moved.vertices.size());
    for (size_t j = 0; j < vertices; ++j)
        moved.vertices[j].z = scale * WaveHeight(rest.vertices[j].x, rest.vertices[j].y, w, a) + lift;
}

} // namespace

float WaveHeight(float x, float y, float w, float a)
{
    return static_cast<float>(a * (std::sin(x / 4.0 + 40.0 * w) + std::sin(y / 4.0 + 35.0 * w)));
}

void PreparePond()
{
    g_water = FindTexture(GlobalTextures, "waterleafs");
    g_flatSky = FindTexture(GlobalTextures, "flatsky");
    g_leaf = FindTexture(GlobalTextures, "leaf3");
    g_shadow = FindTexture(GlobalTextures, "leaf5shadow");
    g_surfaceUses = PondMeshCount() > 0 ? CountVertexUses(WaterLeafsMoved.meshes[0]) : std::vector<int32_t>{};
}

int PondMeshCount()
{
    const size_t meshes = std::min({WaterLeafsList.meshes.size(), WaterLeafsMoved.meshes.size(),
                                    static_cast<size_t>(std::max(WaterLeafsList.count, 0)),
                                    static_cast<size_t>(std::max(WaterLeafsMoved.count, 0)),
                                    static_cast<size_t>(WaterLeafCapacity)});
    return static_cast<int>(meshes);
}

void LiftWaterSurface(float w, float a)
{
    if (PondMeshCount() == 0) return;
    LiftFromRest(WaterLeafsList.meshes[0], WaterLeafsMoved.meshes[0], w, a, 5.0f, 0.0f);
}

void DrawWaterSurface(float alpha, GLenum destinationFactor)
{
    // A folder without meshes draws nothing but leaves the state the drawing would.
    BindTextureId(g_water);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, destinationFactor);
    glColor4f(1, 1, 1, alpha);
    glPushMatrix();
    glScalef(1, 0.2f, 1);
    if (PondMeshCount() > 0) DrawGeoxTextured(WaterLeafsMoved.meshes[0]);
    glPopMatrix();
    glDisable(GL_BLEND);
}

void RenormaliseWaterSurface()
{
    if (PondMeshCount() == 0) return;
    ComputeFaceNormals(WaterLeafsMoved.meshes[0]);
    ComputeVertexNormals(WaterLeafsMoved.meshes[0], g_surfaceUses);
}

void DrawSkyReflection(float alpha)
{
    // As the surface: without meshes only the state changes, the colour ends white.
    glDepthFunc(GL_LEQUAL);
    BindTextureId(g_flatSky);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1, 1, 1, alpha);
    SetSphereMapping(1);
    glPushMatrix();
    glScalef(1, 0.2f, 1);
    if (PondMeshCount() > 0) DrawGeoxLit(WaterLeafsMoved.meshes[0]);
    glPopMatrix();
    SetSphereMapping(0);
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

void DrawLeafShadows(float w, float a)
{
    BindTextureId(g_shadow);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    for (int i = 1; i < PondMeshCount(); ++i) {
        LiftFromRest(WaterLeafsList.meshes[i], WaterLeafsMoved.meshes[i], w, a, 1.0f, 0.08f);
        DrawGeoxTextured(WaterLeafsMoved.meshes[i]);
    }
    glDisable(GL_BLEND);
}

void DrawFloatingLeaves(float w, float a)
{
    BindTextureId(g_leaf);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    for (int i = 1; i < PondMeshCount(); ++i) {
        const Float3& centre = WaterLeafCentres[i];
        glPushMatrix();
        glTranslatef(0, WaveHeight(centre.x, centre.z, w, a) + 0.16f, 0);
        DrawGeoxTextured(WaterLeafsList.meshes[i]);
        glPopMatrix();
    }
    glAlphaFunc(GL_ALWAYS, 0);
    glDisable(GL_ALPHA_TEST);
}
