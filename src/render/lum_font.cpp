// lum_font: bitmap text from the glyph atlas.
#include "render/lum_font.h"

#include "render/lum_views.h"

void DrawText(std::string_view text, GLuint texture, float x, float y, float glyphWidth,
              float glyphHeight, float advance, float r, float g, float b, float a)
{
    BeginOverlay();
    const float n = static_cast<float>(text.size());
    const float startX = x - (n - 1) * advance / 2;
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glColor4f(r, g, b, a);
    const float halfWidth = glyphWidth / 2;
    const float halfHeight = glyphHeight / 2;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned code = static_cast<unsigned char>(text[i]);
        const float s0 = static_cast<float>(code % 16) / 16;
        const float s1 = static_cast<float>(code % 16 + 1) / 16;
        const float t0 = static_cast<float>(code / 16) / 16;
        const float t1 = static_cast<float>(code / 16 + 1) / 16;
        const float cx = startX + static_cast<float>(i) * advance;
        glTexCoord2f(s0, t0);
        glVertex2f(cx - halfWidth, y - halfHeight);
        glTexCoord2f(s1, t0);
        glVertex2f(cx + halfWidth, y - halfHeight);
        glTexCoord2f(s1, t1);
        glVertex2f(cx + halfWidth, y + halfHeight);
        glTexCoord2f(s0, t1);
        glVertex2f(cx - halfWidth, y + halfHeight);
    }
    glEnd();
    EndOverlay();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}
