// The yard and its sky ceiling.
#include "scenes/yard_setting.h"

#include "gl/gl.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"
#include "scenes/textured_list.h"

namespace {

ListTextures g_yardTextures;
GLuint g_flatSky = 0;

} // namespace

void PrepareYardSetting()
{
    g_yardTextures = ResolveListTextures(YardList, "yard.");
    g_flatSky = FindTexture(GlobalTextures, "flatsky");
}

void DrawYardSetting()
{
    glPushMatrix();
    glTranslatef(0, 0, 1850);
    DrawGeoxListTextured(YardList, g_yardTextures);
    glPopMatrix();

    BindTextureId(g_flatSky);
    glPushMatrix();
    glTranslatef(0, 5000, 0);
    glScalef(850, 0, 850);
    DrawGeoxTextured(PlaneMesh);
    glPopMatrix();
}
