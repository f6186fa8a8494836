// Light spheres.
#include "scenes/light_sphere.h"

#include "base/random.h"
#include "render/mesh_batch.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"

namespace {

GLuint g_texture = 0;

} // namespace

GLuint BuildLightSphere(int n)
{
    g_texture = FindTexture(GlobalTextures, "lightsphere");
    MeshBatch planes;
    GlMatrix turned;
    for (int i = 0; i < n; ++i) {
        turned.Rotate(static_cast<float>(Random01() * 1440), 1, 0.7f, 1.2f);
        planes.Add(PlaneMesh, turned);
    }
    return planes.CompileList(turned);
}

void DrawLightSphere(GLuint list, float height, float scale)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    BindTextureId(g_texture);
    glPushMatrix();
    glTranslatef(0, height, 0);
    glScalef(scale, scale, scale);
    glCallList(list);
    glPopMatrix();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}
