// GLU as the gl layer makes it, against Mesa's libGLU on the driver's own pipeline: the same
// matrices to the last bit for the projections and views the piece sets, and the same bytes in
// every mipmap level for the image sizes and formats its data has (square powers of two, RGB and
// RGBA, tightly packed or in rows aligned to 4) and for the one-pixel-wide levels that other
// shapes end in.
#include "gl/gl.h"
#include "reference_glu.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

class GluTest : public GlTest {};

struct View {
    GLdouble eye[3], centre[3], up[3];
};

std::vector<GLfloat> MatrixAfter(GLenum mode, const std::function<void()>& set)
{
    glMatrixMode(mode);
    glLoadIdentity();
    set();
    std::vector<GLfloat> m(16);
    glGetFloatv(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, m.data());
    glMatrixMode(GL_MODELVIEW);
    return m;
}

TEST_F(GluTest, PerspectiveAndLookAtGiveLibGlusMatrices)
{
    // The camera's projection at fields of view across a flight, and the start-up's.
    for (const GLdouble fovy : {20.0, 45.0, 70.0, 89.5, 123.4}) {
        for (const GLdouble aspect : {1.33333333333, 4.0 / 3.0, 1.0}) {
            EXPECT_EQ(MatrixAfter(GL_PROJECTION, [&] { gluPerspective(fovy, aspect, 0.1, 99999.0); }),
                      MatrixAfter(GL_PROJECTION, [&] { reference_glu::Perspective(fovy, aspect, 0.1, 99999.0); }))
                << fovy << " " << aspect;
        }
    }
    // Views of every kind: along the axes, with the up vector tilted, far from the origin.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-500.0f, 500.0f), unit(-1.0f, 1.0f);
    std::vector<View> views = {{{0, 0, -10}, {0, 0, 0}, {0, 1, 0}}, {{3, 2, 1}, {3, 2, 5}, {0, 1, 0}}};
    for (int i = 0; i < 200; ++i)
        views.push_back({{coordinate(random), coordinate(random), coordinate(random)},
                         {coordinate(random), coordinate(random), coordinate(random)},
                         {unit(random), 1.0f, unit(random)}});
    for (const View& v : views) {
        const auto ours = MatrixAfter(GL_MODELVIEW, [&] {
            gluLookAt(v.eye[0], v.eye[1], v.eye[2], v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1], v.up[2]);
        });
        const auto libGlu = MatrixAfter(GL_MODELVIEW, [&] {
            reference_glu::LookAt(v.eye[0], v.eye[1], v.eye[2], v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1],
                                  v.up[2]);
        });
        ASSERT_EQ(ours, libGlu) << "eye " << v.eye[0] << " " << v.eye[1] << " " << v.eye[2];
    }
}

// Every level of the texture bound, as RGBA bytes with their sizes.
std::vector<std::vector<uint8_t>> Levels()
{
    std::vector<std::vector<uint8_t>> levels;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0;; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width == 0 || height == 0) break;
        std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4 + 8);
        std::memcpy(rgba.data(), &width, 4);
        std::memcpy(rgba.data() + 4, &height, 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data() + 8);
        levels.push_back(std::move(rgba));
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return levels;
}

std::vector<std::vector<uint8_t>>
LevelsBuiltBy(GLint (*build)(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*), GLint internalFormat,
              int width, int height, GLenum format, const std::vector<uint8_t>& image)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    EXPECT_EQ(build(GL_TEXTURE_2D, internalFormat, width, height, format, GL_UNSIGNED_BYTE, image.data()), 0);
    return Levels();
}

TEST_F(GluTest, Build2DMipmapsGivesLibGlusLevels)
{
    struct Case {
        int width, height;
        GLenum format;
        GLint internalFormat, alignment;
    };
    const Case cases[] = {{2048, 2048, GL_RGBA, GL_RGBA, 1},
                          {1024, 1024, GL_RGB, 3, 1},
                          {512, 512, GL_RGBA, GL_RGBA, 4},
                          {256, 256, GL_RGB, 3, 4},
                          {128, 128, GL_RGBA, GL_RGBA, 1},
                          {64, 16, GL_RGB, 3, 4},
                          {1, 8, GL_RGBA, GL_RGBA, 1},
                          {8, 1, GL_RGB, 3, 1},
                          {2, 2, GL_RGB, 3, 4}};
    std::mt19937 random(11);
    for (const Case& c : cases) {
        const int components = c.format == GL_RGBA ? 4 : 3;
        size_t row = static_cast<size_t>(c.width) * components;
        row = (row + c.alignment - 1) / c.alignment * c.alignment;
        std::vector<uint8_t> image(row * c.height);
        // Noise with smooth stretches: the rounding of every 2 x 2 mean is met.
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(random() % 7 == 0 ? random() : i * 3);
        glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment);
        const auto ours = LevelsBuiltBy(gluBuild2DMipmaps, c.internalFormat, c.width, c.height, c.format, image);
        const auto libGlu =
            LevelsBuiltBy(reference_glu::Build2DMipmaps, c.internalFormat, c.width, c.height, c.format, image);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, c.alignment) << "the caller's unpack alignment is left as it was";
        ASSERT_EQ(ours.size(), libGlu.size()) << c.width << "x" << c.height;
        for (size_t level = 0; level < ours.size(); ++level)
            EXPECT_TRUE(ours[level] == libGlu[level]) << c.width << "x" << c.height << " level " << level;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

// A side that is not a power of two is scaled to the nearest one first, each pixel the mean of
// the source area it covers: 0, 120, 240 across three pixels become 0, 80, 160, 240 across four.
TEST_F(GluTest, Build2DMipmapsScalesOtherSidesByArea)
{
    const std::vector<uint8_t> image = {0, 0, 0, 120, 120, 120, 240, 240, 240};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const auto levels = LevelsBuiltBy(gluBuild2DMipmaps, 3, 3, 1, GL_RGB, image);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    ASSERT_EQ(levels.size(), 3u);
    const uint8_t* level0 = levels[0].data() + 8;
    EXPECT_EQ((std::vector<uint8_t>{level0[0], level0[4], level0[8], level0[12]}),
              (std::vector<uint8_t>{0, 80, 160, 240}));
    EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 0, 4, GL_RGB, GL_UNSIGNED_BYTE, image.data()), GLU_INVALID_VALUE);
    EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 4, 4, GL_RGB, GL_FLOAT, image.data()), GLU_INVALID_ENUM);
}

} // namespace
