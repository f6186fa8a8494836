// lum_views: overlay projection, isolated display-list calls, sphere mapping.
#include "render/lum_views.h"

#include "base/picture_size.h"

void BeginOverlay()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, OverlayWidth, OverlayHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void EndOverlay()
{
    glMatrixMode(GL_PROJECTION);
    glMatrixMode(GL_MODELVIEW);
}

void SetPictureViewport()
{
    const PixelSize picture = PictureSize();
    glViewport(0, 0, picture.width, picture.height);
}

void CallListIsolated(GLuint list)
{
    glPushMatrix();
    glCallList(list);
    glPopMatrix();
}

void SetSphereMapping(uint8_t on)
{
    if (on == 1) {
        glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, static_cast<GLfloat>(GL_SPHERE_MAP));
        glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, static_cast<GLfloat>(GL_SPHERE_MAP));
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}
