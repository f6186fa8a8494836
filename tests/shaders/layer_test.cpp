// The fixed-function layer on shaders, through gl/gl.h on a core profile: the matrix stacks and
// GLU against closed forms, each texture environment and combiner the piece uses against the
// colour its equation gives, fog and the alpha test at their edges, display lists replayed, and
// no allocation once the piece's frames have been drawn.
#include "capture/shot.h"
#include "gl/gl.h"
#include "gl/renderer.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <initializer_list>
#include <execinfo.h>
#include <new>

namespace {

// Allocations made by the program's own code (the piece and the gl layer), told from the GL
// driver's (which compiles shader variants as it meets new states) by the first caller outside
// the C++ library (its templates compiled into any program included): in this executable, or in
// a library.
std::atomic<long> g_ownAllocations{0};
std::atomic<bool> g_counting{false};
void* g_executableBase = nullptr;

[[gnu::noinline]] bool CalledFromThisExecutable()
{
    void* frames[12];
    const int count = backtrace(frames, 12);
    for (int i = 2; i < count; ++i) { // past this function and operator new
        Dl_info info;
        if (!dladdr(frames[i], &info) || !info.dli_fname) continue;
        const char* symbol = info.dli_sname ? info.dli_sname : "";
        if (std::strstr(info.dli_fname, "libstdc++") || std::strncmp(symbol, "_ZNSt", 5) == 0 ||
            std::strncmp(symbol, "_ZNKSt", 6) == 0 || std::strncmp(symbol, "_ZSt", 4) == 0)
            continue;
        return info.dli_fbase == g_executableBase;
    }
    return false;
}

[[maybe_unused]] [[gnu::always_inline]] inline void CountAllocation()
{
    if (!g_counting.load(std::memory_order_relaxed)) return;
    g_counting = false; // backtrace and dladdr must not count themselves
    if (CalledFromThisExecutable()) ++g_ownAllocations;
    g_counting = true;
}

} // namespace

#if !defined(__SANITIZE_ADDRESS__) // AddressSanitizer owns operator new
// Allocated with malloc, freed with free, whatever the warning about pairing new with free says.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

[[gnu::noinline]] void* operator new(std::size_t size)
{
    CountAllocation();
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
#endif

namespace {

using Colour = std::array<float, 4>;

class LayerTest : public GlTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CurrentRenderer(), Renderer::Shaders);
        while (glGetError() != GL_NO_ERROR) {}
        glViewport(0, 0, 640, 480);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Overlay();
    }
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_FOG);
    }

    // Projection: the 640 x 480 frame, y down; modelview: identity.
    static void Overlay()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // The whole frame, both units' texture coordinates at the texels' middle.
    static void FillFrame()
    {
        glBegin(GL_QUADS);
        const float corners[4][2] = {{0, 0}, {640, 0}, {640, 480}, {0, 480}};
        for (const auto& corner : corners) {
            glMultiTexCoord2f(GL_TEXTURE0, 0.5f, 0.5f);
            glMultiTexCoord2f(GL_TEXTURE1, 0.5f, 0.5f);
            glVertex2f(corner[0], corner[1]);
        }
        glEnd();
    }

    static std::array<int, 4> Pixel(int x = 320, int y = 240)
    {
        uint8_t rgba[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }

    static std::array<int, 4> Expected(const Colour& colour)
    {
        std::array<int, 4> bytes;
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<int>(std::lround(255 * std::clamp(colour[i], 0.0f, 1.0f)));
        return bytes;
    }

    // A 2 x 2 texture of one texel colour on the active unit, filtered to the nearest texel.
    static GLuint SolidTexture(const Colour& texel, bool withAlpha)
    {
        uint8_t bytes[16];
        const int components = withAlpha ? 4 : 3;
        for (int i = 0; i < 4; ++i)
            for (int c = 0; c < components; ++c)
                bytes[i * components + c] = static_cast<uint8_t>(std::lround(texel[c] * 255));
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, withAlpha ? GL_RGBA : GL_RGB, 2, 2, 0, withAlpha ? GL_RGBA : GL_RGB,
                     GL_UNSIGNED_BYTE, bytes);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glEnable(GL_TEXTURE_2D);
        return texture;
    }

    static void ExpectPixel(const Colour& colour, const char* what)
    {
        const std::array<int, 4> got = Pixel(), want = Expected(colour);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1) << what << ", channel " << i;
    }
};

std::array<float, 16> Matrix(GLenum which)
{
    std::array<float, 16> m;
    glGetFloatv(which, m.data());
    return m;
}

void ExpectMatrix(const std::array<float, 16>& got, const std::array<double, 16>& want, double tolerance,
                  const char* what)
{
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], tolerance) << what << ", element " << i;
}

TEST_F(LayerTest, DrawsOnACoreProfile)
{
    EXPECT_NE(RendererDescription(Renderer::Shaders).find("Core Profile"), std::string::npos)
        << RendererDescription(Renderer::Shaders);
}

TEST_F(LayerTest, MatrixStacksAndGluGiveTheClosedForms)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Rotation about a principal axis is exact: the cosine and sine themselves.
    glRotatef(90, 0, 0, 1);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX),
              (std::array<float, 16>{std::cos(static_cast<float>(M_PI / 2)), 1, 0, 0, -1,
                                     std::cos(static_cast<float>(M_PI / 2)), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    // T(1, 2, 3) R(60 about (1, 1, 1)) S(2, 3, 4), pushed and popped around a change.
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glRotatef(60, 1, 1, 1);
    glScalef(2, 3, 4);
    const double c = 0.5, s = std::sqrt(3.0) / 2, t = (1 - c) / 3, u = s / std::sqrt(3.0);
    const std::array<double, 16> expected = {
        2 * (t + c), 2 * (t + u), 2 * (t - u), 0, 3 * (t - u), 3 * (t + c), 3 * (t + u), 0,
        4 * (t + u), 4 * (t - u), 4 * (t + c), 0, 1,           2,           3,           1};
    ExpectMatrix(Matrix(GL_MODELVIEW_MATRIX), expected, 1e-5, "translate, rotate, scale");
    glPushMatrix();
    const GLfloat shear[16] = {1, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glMultMatrixf(shear);
    EXPECT_NEAR(Matrix(GL_MODELVIEW_MATRIX)[4], expected[4] + 0.5 * expected[0], 1e-5);
    glPopMatrix();
    ExpectMatrix(Matrix(GL_MODELVIEW_MATRIX), expected, 1e-5, "after the pop");
    // 31 pushes fill the 32 levels; the next overflows, and as many pops as pushes empty it.
    for (int i = 0; i < 31; ++i) glPushMatrix();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glPushMatrix();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(0x0503)); // GL_STACK_OVERFLOW
    for (int i = 0; i < 31; ++i) glPopMatrix();
    glPopMatrix();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(0x0504)); // GL_STACK_UNDERFLOW

    // The projections: the overlay's orthographic box and the camera's perspective.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    ExpectMatrix(Matrix(GL_PROJECTION_MATRIX), {2.0 / 640, 0, 0, 0, 0, -2.0 / 480, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1},
                 1e-7, "glOrtho");
    glLoadIdentity();
    gluPerspective(70, 4.0 / 3.0, 0.1, 99999.0);
    const double f = 1 / std::tan(35 * M_PI / 180);
    ExpectMatrix(Matrix(GL_PROJECTION_MATRIX),
                 {f * 3 / 4, 0, 0, 0, 0, f, 0, 0, 0, 0, (99999 + 0.1) / (0.1 - 99999), -1, 0, 0,
                  2 * 99999 * 0.1 / (0.1 - 99999), 0},
                 1e-5, "gluPerspective");
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // From (0, 0, -10) towards the origin, y up: x turns round, z points back at the eye.
    gluLookAt(0, 0, -10, 0, 0, 0, 0, 1, 0);
    ExpectMatrix(Matrix(GL_MODELVIEW_MATRIX), {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, -10, 1}, 1e-6, "gluLookAt");
    Overlay();
}

struct Argument {
    GLenum source, operand;
};

// The active unit's environment as a combine of up to three arguments for colour and for alpha,
// scaled by rgbScale.
void Combine(GLenum rgbFunction, std::initializer_list<Argument> rgb, GLenum alphaFunction,
             std::initializer_list<Argument> alpha, float rgbScale = 1.0f)
{
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, static_cast<GLint>(rgbFunction));
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, static_cast<GLint>(alphaFunction));
    GLenum pname = GL_SOURCE0_RGB;
    for (const Argument& argument : rgb) {
        glTexEnvi(GL_TEXTURE_ENV, pname, static_cast<GLint>(argument.source));
        glTexEnvi(GL_TEXTURE_ENV, pname - GL_SOURCE0_RGB + GL_OPERAND0_RGB, static_cast<GLint>(argument.operand));
        ++pname;
    }
    pname = GL_SOURCE0_ALPHA;
    for (const Argument& argument : alpha) {
        glTexEnvi(GL_TEXTURE_ENV, pname, static_cast<GLint>(argument.source));
        glTexEnvi(GL_TEXTURE_ENV, pname - GL_SOURCE0_ALPHA + GL_OPERAND0_ALPHA, static_cast<GLint>(argument.operand));
        ++pname;
    }
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, rgbScale);
}

// A colour as a texture stores it in bytes.
Colour Stored(const Colour& colour)
{
    Colour stored;
    for (int i = 0; i < 4; ++i) stored[i] = std::lround(colour[i] * 255) / 255.0f;
    return stored;
}

TEST_F(LayerTest, TextureEnvironmentsGiveTheirEquations)
{
    const Colour primary = {0.5f, 0.75f, 1.0f, 0.5f}, texel = {0.8f, 0.4f, 0.2f, 0.6f},
                 constant = {0.1f, 0.9f, 0.3f, 0.7f};
    const Colour t = Stored(texel);
    glColor4f(primary[0], primary[1], primary[2], primary[3]);

    SolidTexture(texel, true);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    FillFrame();
    ExpectPixel({t[0] * primary[0], t[1] * primary[1], t[2] * primary[2], t[3] * primary[3]}, "GL_MODULATE");

    SolidTexture(texel, false); // no alpha: the fragment's stays
    FillFrame();
    ExpectPixel({t[0] * primary[0], t[1] * primary[1], t[2] * primary[2], primary[3]}, "GL_MODULATE of RGB");

    SolidTexture(texel, true);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant.data());
    constexpr GLenum OneMinusSrcColor = 0x0301; // GL_ONE_MINUS_SRC_COLOR
    Combine(GL_REPLACE, {{GL_CONSTANT, OneMinusSrcColor}}, GL_REPLACE, {{GL_CONSTANT, GL_SRC_ALPHA}});
    FillFrame();
    ExpectPixel({1 - constant[0], 1 - constant[1], 1 - constant[2], constant[3]}, "REPLACE of 1 - constant");

    // The texture's alpha times the primary colour, doubled and clamped; alpha: (1 - texture
    // alpha) times primary alpha.
    Combine(GL_MODULATE, {{GL_TEXTURE, GL_SRC_ALPHA}, {GL_PRIMARY_COLOR, GL_SRC_COLOR}}, GL_MODULATE,
            {{GL_TEXTURE, GL_ONE_MINUS_SRC_ALPHA}, {GL_PRIMARY_COLOR, GL_SRC_ALPHA}}, 2.0f);
    FillFrame();
    ExpectPixel({2 * t[3] * primary[0], 2 * t[3] * primary[1], 2 * t[3] * primary[2], (1 - t[3]) * primary[3]},
                "MODULATE, scaled by 2");

    // From the constant to the texture by the texture's alpha; alpha the primary's.
    Combine(GL_INTERPOLATE, {{GL_CONSTANT, GL_SRC_COLOR}, {GL_TEXTURE, GL_SRC_COLOR}, {GL_TEXTURE, GL_SRC_ALPHA}},
            GL_REPLACE, {{GL_PRIMARY_COLOR, GL_SRC_ALPHA}});
    FillFrame();
    Colour interpolated;
    for (int i = 0; i < 3; ++i) interpolated[i] = constant[i] * t[3] + t[i] * (1 - t[3]);
    interpolated[3] = primary[3];
    ExpectPixel(interpolated, "INTERPOLATE");

    // A second unit goes from the first unit's result to its own texture by its alpha, as the
    // finishing layers' grain does.
    const Colour second = {0.2f, 0.3f, 0.9f, 0.25f};
    const Colour s = Stored(second);
    glActiveTexture(GL_TEXTURE1);
    SolidTexture(second, true);
    Combine(GL_INTERPOLATE, {{GL_TEXTURE, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}, {GL_TEXTURE, GL_SRC_ALPHA}},
            GL_MODULATE, {{GL_PREVIOUS, GL_SRC_ALPHA}, {GL_TEXTURE, GL_ONE_MINUS_SRC_ALPHA}});
    FillFrame();
    Colour chained;
    for (int i = 0; i < 3; ++i) chained[i] = s[i] * s[3] + interpolated[i] * (1 - s[3]);
    chained[3] = interpolated[3] * (1 - s[3]);
    ExpectPixel(chained, "two units chained");
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);

    // Texture 0 has no image: GL leaves the unit out, and the colour passes as it is.
    glBindTexture(GL_TEXTURE_2D, 0);
    FillFrame();
    ExpectPixel(primary, "a unit without a complete texture");
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, 1);
}

TEST_F(LayerTest, FogAndTheAlphaTestAtTheirEdges)
{
    // Linear fog from 10 to 30 in eye space, seen along -z through a box 100 deep.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    const GLfloat fogColour[4] = {0.2f, 0.4f, 1.0f, 0.0f};
    const Colour colour = {1.0f, 0.6f, 0.0f, 0.8f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 10);
    glFogf(GL_FOG_END, 30);
    glFogfv(GL_FOG_COLOR, fogColour);
    glEnable(GL_FOG);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    for (const float depth : {5.0f, 10.0f, 20.0f, 30.0f, 45.0f}) {
        glLoadIdentity();
        glTranslatef(0, 0, -depth);
        glColor4f(colour[0], colour[1], colour[2], colour[3]);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, 0);
        glVertex3f(1, -1, 0);
        glVertex3f(1, 1, 0);
        glVertex3f(-1, 1, 0);
        glEnd();
        const float f = std::clamp((30 - depth) / 20, 0.0f, 1.0f);
        Colour fogged;
        for (int i = 0; i < 3; ++i) fogged[i] = fogColour[i] * (1 - f) + colour[i] * f;
        fogged[3] = colour[3]; // fog leaves alpha alone
        ExpectPixel(fogged, depth < 20   ? "fog before its start"
                            : depth > 20 ? "fog at and past its end"
                                         : "fog halfway");
    }
    glDisable(GL_FOG);

    // The alpha test: GL_GREATER 0.5 keeps 0.51 and drops 0.5; GL_LEQUAL 0.25 keeps 0.25 and
    // drops 0.26; GL_ALWAYS keeps 0.
    Overlay();
    glEnable(GL_ALPHA_TEST);
    struct Case {
        GLenum function;
        float reference, alpha;
        bool kept;
    };
    const Case cases[] = {{GL_GREATER, 0.5f, 0.5f, false},
                          {GL_GREATER, 0.5f, 0.51f, true},
                          {0x0203, 0.25f, 0.25f, true}, // GL_LEQUAL
                          {0x0203, 0.25f, 0.26f, false},
                          {GL_ALWAYS, 0.0f, 0.0f, true}};
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        glAlphaFunc(c.function, c.reference);
        glColor4f(1, 1, 1, c.alpha);
        FillFrame();
        EXPECT_EQ(Pixel()[0], c.kept ? 255 : 0) << "function 0x" << std::hex << c.function << ", alpha " << c.alpha;
    }
    glAlphaFunc(GL_ALWAYS, 0);
    glDisable(GL_ALPHA_TEST);
    glColor4f(1, 1, 1, 1);
}

TEST_F(LayerTest, DisplayListsReplayWhatTheyRecorded)
{
    // A list of a quad from client arrays, then a texture coordinate and a matrix: what a mesh
    // batch compiles. Compiling draws nothing and changes nothing current.
    static const GLfloat positions[] = {100, 100, 0, 300, 100, 0, 300, 200, 0, 100, 200, 0};
    static const GLuint indices[] = {0, 1, 3, 1, 2, 3};
    const GLfloat moveDown[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 200, 0, 1};
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glTexCoord2f(0.5f, 0.5f);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    glDrawRangeElements(GL_TRIANGLES, 0, 3, 6, GL_UNSIGNED_INT, indices);
    glDisableClientState(GL_VERTEX_ARRAY);
    glTexCoord2f(0.125f, 0.75f);
    glMultMatrixf(moveDown);
    glEndList();
    EXPECT_EQ(Pixel(200, 480 - 150), (std::array<int, 4>{0, 0, 0, 0})) << "compiling drew";
    GLfloat texCoord[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    EXPECT_EQ(texCoord[1], 0.5f) << "compiling changed the current texture coordinate";
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX)[13], 0.0f) << "compiling changed the matrix";

    // Called twice: the colour current at each call, the second quad 200 lower.
    glCallList(list);
    glColor4f(1, 1, 0, 1);
    glCallList(list);
    EXPECT_EQ(Pixel(200, 480 - 150), Expected({0.25f, 0.5f, 0.75f, 1})) << "the first call";
    EXPECT_EQ(Pixel(200, 480 - 350), Expected({1, 1, 0, 1})) << "the second call, moved by the first";
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    EXPECT_EQ((std::array<float, 2>{texCoord[0], texCoord[1]}), (std::array<float, 2>{0.125f, 0.75f}));
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX)[13], 400.0f);
    glColor4f(1, 1, 1, 1);
}

TEST_F(LayerTest, ThePiecesFramesAllocateNothingOnceDrawn)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer owns operator new: allocations are counted in the ordinary build";
#endif
    ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece());
    // Frames of every kind of scene: the first pass makes what they need.
    const int32_t times[] = {9056, 45280, 62000, 104500, 128200, 168000, 215650, 260000, 290500};
    for (const int32_t ms : times) RenderOfflineFrame(ms);
    Dl_info info;
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(&CalledFromThisExecutable), &info));
    g_executableBase = info.dli_fbase;
    void* warm[1];
    backtrace(warm, 1); // its first call loads what it needs
    g_ownAllocations = 0;
    g_counting = true;
    for (const int32_t ms : times) RenderOfflineFrame(ms);
    g_counting = false;
    EXPECT_EQ(g_ownAllocations.load(), 0) << "allocations while drawing frames drawn before";
}

} // namespace
