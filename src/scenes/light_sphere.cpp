// Light spheres.
#include "scenes/light_sphere.h"

#include "base/random.h"
#include "render/mesh_batch.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

GLuint g_texture = 0;

// One side of the octagon in texture space: a u + b v <= c.
struct Side {
    float a, b, c;
};
constexpr int OctagonSides = 8;

float Outside(const Side& side, const GeoxVertex& vertex)
{
    return side.a * vertex.u + side.b * vertex.v - side.c;
}

// The octagon around the centres of every texel of the bound texture that is not black,
// widened by a texel and a half (linear filtering reaches one texel out). False when the
// texture is all black or the octagon would reach the texture's border, where wrapping
// filters would pull in the other side.
bool LitOctagon(GLuint texture, Side (&sides)[OctagonSides])
{
    if (texture == 0) return false;
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0, minFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    // Coarser mipmap levels spread the light over the whole square.
    if (width <= 0 || height <= 0 || (minFilter != GL_LINEAR && minFilter != GL_NEAREST)) return false;
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());

    float extent[OctagonSides];
    std::fill(std::begin(extent), std::end(extent), -1e9f);
    bool lit = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* texel = &texels[(static_cast<size_t>(y) * width + x) * 4];
            if (texel[0] == 0 && texel[1] == 0 && texel[2] == 0) continue;
            lit = true;
            const float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
            for (int k = 0; k < OctagonSides; ++k) {
                const float angle = static_cast<float>(k * M_PI / 4);
                extent[k] = std::max(extent[k], std::cos(angle) * u + std::sin(angle) * v);
            }
        }
    if (!lit) return false;
    const float margin = 1.5f * std::sqrt(2.0f) / static_cast<float>(std::min(width, height));
    for (int k = 0; k < OctagonSides; ++k) {
        const float angle = static_cast<float>(k * M_PI / 4);
        sides[k] = {std::cos(angle), std::sin(angle), extent[k] + margin};
    }
    // Sides 0, 2, 4, 6 face +u, +v, -u, -v.
    return sides[0].c < 1 && sides[2].c < 1 && sides[4].c < 0 && sides[6].c < 0;
}

// The part of the polygon on the inner side of `side`, attributes interpolated along cut
// edges (they are linear over a triangle, so the cut polygon draws the same values).
std::vector<GeoxVertex> Cut(const std::vector<GeoxVertex>& polygon, const Side& side)
{
    std::vector<GeoxVertex> kept;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const GeoxVertex& from = polygon[i];
        const GeoxVertex& to = polygon[(i + 1) % polygon.size()];
        const float a = Outside(side, from), b = Outside(side, to);
        if (a <= 0) kept.push_back(from);
        if ((a <= 0) == (b <= 0)) continue;
        const float t = a / (a - b);
        auto mix = [t](float p, float q) { return p + (q - p) * t; };
        kept.push_back({mix(from.x, to.x), mix(from.y, to.y), mix(from.z, to.z), mix(from.u, to.u), mix(from.v, to.v), 0,
                        0, 0});
    }
    return kept;
}

} // namespace

GeoxMesh LitPartOfPlane(GLuint texture)
{
    Side sides[OctagonSides];
    if (!LitOctagon(texture, sides)) return PlaneMesh;
    GeoxMesh card;
    for (const GeoxTriangle& triangle : PlaneMesh.triangles) {
        std::vector<GeoxVertex> polygon{PlaneMesh.vertices[static_cast<size_t>(triangle.i0)],
                                        PlaneMesh.vertices[static_cast<size_t>(triangle.i1)],
                                        PlaneMesh.vertices[static_cast<size_t>(triangle.i2)]};
        for (const Side& side : sides) polygon = Cut(polygon, side);
        if (polygon.size() < 3) continue;
        const int32_t first = static_cast<int32_t>(card.vertices.size());
        card.vertices.insert(card.vertices.end(), polygon.begin(), polygon.end());
        for (int32_t k = 1; k + 1 < static_cast<int32_t>(polygon.size()); ++k)
            card.triangles.push_back({first, first + k, first + k + 1, 0, 0, 0});
    }
    card.vertexCount = static_cast<int32_t>(card.vertices.size());
    card.triangleCount = static_cast<int32_t>(card.triangles.size());
    return card;
}

GLuint BuildLightSphere(int n)
{
    g_texture = FindTexture(GlobalTextures, "lightsphere");
    const GeoxMesh card = LitPartOfPlane(g_texture);
    MeshBatch planes;
    GlMatrix turned;
    for (int i = 0; i < n; ++i) {
        turned.Rotate(static_cast<float>(Random01() * 1440), 1, 0.7f, 1.2f);
        planes.Add(card, turned);
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
