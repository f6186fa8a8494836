// lum_frame: render targets, the glow chain and the finishing steps.
#include "render/lum_frame.h"

#include "base/error.h"
#include "base/picture_size.h"
#include "render/lum_views.h"
#include "render/view_region.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

GLuint FrameTexture = 0;
GLuint CornerTexture = 0;
GLuint BlurTexture = 0;
GLuint UnusedFrameTargets[3] = {};

namespace {

// The frame fills 640 x 480 of the 1024 x 512 FrameTexture.
constexpr float kFrameS = 640.0f / 1024.0f;
constexpr float kFrameT = 480.0f / 512.0f;
constexpr int kCornerSize = 256;

// The blur's working image: one read-back, four passes, one upload, no allocation.
unsigned char g_cornerPixels[BlurImageBytes];

// The shrinking steps draw into framebuffers of their own: the 256 x 256 one renders straight
// into CornerTexture, the 128 x 128 one into a renderbuffer that is only read back. The frame
// itself is never used as scratch space, so nothing has to be drawn back over it.
GLuint g_cornerFramebuffer = 0;
GLuint g_smallFramebuffer = 0;
GLuint g_smallColour = 0;

// A picture of another size than the overlay's 640 x 480 is brought to it before the glow's
// first shrinking step, so that the glow works on the same frame at every size: halved while
// the half still covers 640 x 480 (a blit with linear filtering to exactly half the size takes
// the mean of each 2 x 2 block), then filtered linearly to 640 x 480, a step of less than two
// that the filter's two texels still span. The halved copies are made once for the picture's
// size; at 640 x 480 there are none and the frame is copied as it is.
struct HalvedCopy {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    PixelSize size;
};
constexpr int kMaxHalvings = 16;
HalvedCopy g_halved[kMaxHalvings];
int g_halvedCount = 0;
PixelSize g_halvedFor = PieceFrameSize;
// The texture the frame lands in, as a target for that last filtered step.
GLuint g_copyFramebuffer = 0;
GLuint g_copyTexture = 0;

uint32_t g_noiseTicks = 0;
GLuint g_vignetteTexture = 0;
GLuint g_noiseTexture = 0;

// The film grain's texture offset for the current tick count.
const Float3& NoiseOffset()
{
    return RandomPairs[g_noiseTicks / 15 % RandomPairCount];
}

// Top and bottom edges of the picture band between the letterbox bars, rounded half to even.
float BandTop()
{
    return static_cast<float>(std::nearbyint(OverlayHeight / 8.0));
}

float BandBottom()
{
    return static_cast<float>(std::nearbyint(7.0 * OverlayHeight / 8.0));
}

// A texture drawn into the rectangle (0, 0)-(width, height) of the overlay, its texture
// rows upright: t = tMax at the top edge, t = 0 at the bottom.
void DrawTextureRect(float width, float height, float sMax, float tMax)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, tMax);
    glVertex2f(0, 0);
    glTexCoord2f(sMax, tMax);
    glVertex2f(width, 0);
    glTexCoord2f(sMax, 0);
    glVertex2f(width, height);
    glTexCoord2f(0, 0);
    glVertex2f(0, height);
    glEnd();
}

// A texture window (s0, t0)-(s1, t1) over the picture band, t0 at the band's top.
void DrawBandQuad(float s0, float t0, float s1, float t1)
{
    const float top = BandTop();
    const float bottom = BandBottom();
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(0, top);
    glTexCoord2f(s1, t0);
    glVertex2f(OverlayWidth, top);
    glTexCoord2f(s1, t1);
    glVertex2f(OverlayWidth, bottom);
    glTexCoord2f(s0, t1);
    glVertex2f(0, bottom);
    glEnd();
}

// Framebuffer objects live in a namespace of their own, so making them changes no texture name.
GLuint MakeFramebuffer(GLenum attachmentKind, GLuint attachment, const char* purpose)
{
    GLint drawn = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &drawn);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (attachmentKind == GL_TEXTURE_2D)
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, attachment, 0);
    else
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, attachment);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(drawn));
    if (status != GL_FRAMEBUFFER_COMPLETE)
        throw FatalError(StrFormat("the glow's %s framebuffer is incomplete (status 0x%x)", purpose, status));
    return framebuffer;
}

// Colour storage of `size` for a renderbuffer, made when `colour` is still 0.
void StoreColour(GLuint& colour, GLenum format, PixelSize size)
{
    if (colour == 0) glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, format, size.width, size.height);
}

// Blits `from`'s lower-left `fromSize` onto `to`'s lower-left `toSize`, filtered linearly,
// with the scissor test (which blits obey) off for it.
void BlitScaled(GLuint from, PixelSize fromSize, GLuint to, PixelSize toSize)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, fromSize.width, fromSize.height, 0, 0, toSize.width, toSize.height, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
}

// Draws into the top-left size x size of the overlay as if it were the window's corner: the
// viewport is the window's, moved down so that its top rows land on the target. The same
// quads then cover the same sample positions, and give the same pixels, as in the window.
class DrawingIntoCorner {
public:
    DrawingIntoCorner(GLuint framebuffer, int size)
    {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_previous);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, size - OverlayHeight, OverlayWidth, OverlayHeight);
    }
    ~DrawingIntoCorner()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_previous));
        SetPictureViewport();
    }
    DrawingIntoCorner(const DrawingIntoCorner&) = delete;
    DrawingIntoCorner& operator=(const DrawingIntoCorner&) = delete;

private:
    GLint m_previous = 0;
};

// Rows in increasing order (upwards on screen), each mixed with the already smoothed row
// below it.
void SmoothRowsUp(unsigned char* image, unsigned weight, unsigned keep)
{
    for (int r = 1; r < BlurSize; ++r) {
        const unsigned char* previous = image + (r - 1) * BlurRowBytes;
        unsigned char* row = image + r * BlurRowBytes;
        for (int k = 0; k < BlurRowBytes; ++k)
            row[k] = static_cast<unsigned char>((previous[k] * weight + row[k] * keep) >> 8);
    }
}

// Rows in decreasing order, each mixed with the (already smoothed) row above it.
void SmoothRowsDown(unsigned char* image, unsigned weight, unsigned keep)
{
    for (int r = BlurSize - 2; r >= 0; --r) {
        const unsigned char* next = image + (r + 1) * BlurRowBytes;
        unsigned char* row = image + r * BlurRowBytes;
        for (int k = 0; k < BlurRowBytes; ++k)
            row[k] = static_cast<unsigned char>((next[k] * weight + row[k] * keep) >> 8);
    }
}

// Pixels of every row left to right, each channel mixed with the pixel before it.
void SmoothPixelsRight(unsigned char* image, unsigned weight, unsigned keep)
{
    for (int r = 0; r < BlurSize; ++r) {
        unsigned char* row = image + r * BlurRowBytes;
        for (int k = 3; k < BlurRowBytes; ++k)
            row[k] = static_cast<unsigned char>((row[k - 3] * weight + row[k] * keep) >> 8);
    }
}

void SmoothPixelsLeft(unsigned char* image, unsigned weight, unsigned keep)
{
    for (int r = 0; r < BlurSize; ++r) {
        unsigned char* row = image + r * BlurRowBytes;
        for (int k = BlurRowBytes - 4; k >= 0; --k)
            row[k] = static_cast<unsigned char>((row[k + 3] * weight + row[k] * keep) >> 8);
    }
}

// One argument of a texture-combine function.
struct CombineArgument {
    GLenum source, operand;
};

// The active unit's texture environment as a combine of up to three arguments for colour
// and for alpha; every argument in use is set, so no earlier combine leaks in.
void SetCombine(GLenum rgbFunction, std::initializer_list<CombineArgument> rgb, GLenum alphaFunction,
                std::initializer_list<CombineArgument> alpha, float rgbScale = 1.0f)
{
    static constexpr GLenum kRgbSource[3] = {GL_SOURCE0_RGB, GL_SOURCE1_RGB, GL_SOURCE2_RGB};
    static constexpr GLenum kRgbOperand[3] = {GL_OPERAND0_RGB, GL_OPERAND1_RGB, GL_OPERAND2_RGB};
    static constexpr GLenum kAlphaSource[3] = {GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA, GL_SOURCE2_ALPHA};
    static constexpr GLenum kAlphaOperand[3] = {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA, GL_OPERAND2_ALPHA};
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, static_cast<GLint>(rgbFunction));
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, static_cast<GLint>(alphaFunction));
    int i = 0;
    for (const CombineArgument& argument : rgb) {
        glTexEnvi(GL_TEXTURE_ENV, kRgbSource[i], static_cast<GLint>(argument.source));
        glTexEnvi(GL_TEXTURE_ENV, kRgbOperand[i++], static_cast<GLint>(argument.operand));
    }
    i = 0;
    for (const CombineArgument& argument : alpha) {
        glTexEnvi(GL_TEXTURE_ENV, kAlphaSource[i], static_cast<GLint>(argument.source));
        glTexEnvi(GL_TEXTURE_ENV, kAlphaOperand[i++], static_cast<GLint>(argument.operand));
    }
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, rgbScale);
}

// Back to the fixed function's default: the texture modulates the colour.
void RestoreTextureEnvironment()
{
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace

void CreateRenderTargets()
{
    UnusedFrameTargets[0] = CreateEmptyTexture(1024, 512);
    UnusedFrameTargets[1] = CreateEmptyTexture(1024, 512);
    FrameTexture = CreateEmptyTexture(1024, 512);
    UnusedFrameTargets[2] = CreateEmptyTexture(1024, 512);
    CornerTexture = CreateEmptyTexture(kCornerSize, kCornerSize);
    BlurTexture = CreateEmptyTexture(BlurSize, BlurSize);
    g_cornerFramebuffer = MakeFramebuffer(GL_TEXTURE_2D, CornerTexture, "corner");
    StoreColour(g_smallColour, GL_RGB8, {BlurSize, BlurSize});
    g_smallFramebuffer = MakeFramebuffer(GL_RENDERBUFFER, g_smallColour, "small");
    MatchRenderTargetsToPicture();
}

void MatchRenderTargetsToPicture()
{
    PixelSize size = PictureSize();
    if (size == g_halvedFor) return;
    int count = 0;
    while (size.width / 2 >= OverlayWidth && size.height / 2 >= OverlayHeight && count < kMaxHalvings) {
        size = {size.width / 2, size.height / 2};
        HalvedCopy& copy = g_halved[count++];
        const bool made = copy.framebuffer != 0;
        StoreColour(copy.colour, GL_RGBA8, size);
        if (!made) copy.framebuffer = MakeFramebuffer(GL_RENDERBUFFER, copy.colour, "halved copy");
        copy.size = size;
    }
    g_halvedCount = count;
    g_halvedFor = PictureSize();
}

void CopyFrameToTexture(GLuint texture)
{
    BeginOverlay();
    GLint frame = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frame);
    const bool scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);
    GLuint source = static_cast<GLuint>(frame);
    PixelSize sourceSize = PictureSize();
    for (int i = 0; i < g_halvedCount; ++i) {
        BlitScaled(source, sourceSize, g_halved[i].framebuffer, g_halved[i].size);
        source = g_halved[i].framebuffer;
        sourceSize = g_halved[i].size;
    }
    const PixelSize overlay{OverlayWidth, OverlayHeight};
    if (sourceSize == overlay) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glBindTexture(GL_TEXTURE_2D, texture);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, OverlayWidth, OverlayHeight);
    } else {
        if (g_copyFramebuffer == 0 || g_copyTexture != texture) {
            if (g_copyFramebuffer == 0) glGenFramebuffers(1, &g_copyFramebuffer);
            glBindFramebuffer(GL_FRAMEBUFFER, g_copyFramebuffer);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
            g_copyTexture = texture;
        }
        BlitScaled(source, sourceSize, g_copyFramebuffer, overlay);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frame));
    if (scissor) glEnable(GL_SCISSOR_TEST);
    EndOverlay();
}

void ShrinkFrameIntoCorner()
{
    const DrawingIntoCorner target(g_cornerFramebuffer, kCornerSize);
    BeginOverlay();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, FrameTexture);
    DrawTextureRect(kCornerSize, kCornerSize, kFrameS, kFrameT);
    EndOverlay();
}

void ShrinkCornerToBlurSize()
{
    const DrawingIntoCorner target(g_smallFramebuffer, BlurSize);
    BeginOverlay();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, CornerTexture);
    DrawTextureRect(BlurSize, BlurSize, 1, 1);
    EndOverlay();
}

void BlurCornerPixels(unsigned char (&pixels)[BlurImageBytes], unsigned weight)
{
    const unsigned w = std::min(weight, 256u);
    const unsigned keep = 256 - w;
    SmoothRowsUp(pixels, w, keep);
    SmoothRowsDown(pixels, w, keep);
    SmoothPixelsRight(pixels, w, keep);
    SmoothPixelsLeft(pixels, w, keep);
}

void BlurCorner(unsigned weight)
{
    // 384-byte rows are a multiple of every pack and unpack alignment, so the buffer is
    // tightly packed whatever GL_PACK_ALIGNMENT says.
    glReadPixels(0, 0, BlurSize, BlurSize, GL_RGB, GL_UNSIGNED_BYTE, g_cornerPixels);
    BlurCornerPixels(g_cornerPixels, weight);
    glBindTexture(GL_TEXTURE_2D, BlurTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, BlurSize, BlurSize, GL_RGB, GL_UNSIGNED_BYTE,
                    g_cornerPixels);
    EndOverlay();
}

void BlurSmallCopy(unsigned weight)
{
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g_smallFramebuffer);
    BlurCorner(weight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void BlendBlurTinted(float r, float g, float b, float a)
{
    BeginOverlay();
    glColor4f(r, g, b, a);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, BlurTexture);
    DrawTextureRect(OverlayWidth, OverlayHeight, 1, 1);
    glDisable(GL_BLEND);
    EndOverlay();
}

void AddGlow()
{
    BeginOverlay();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, BlurTexture);
    DrawTextureRect(OverlayWidth, OverlayHeight, 1, 1);
    glDisable(GL_BLEND);
    EndOverlay();
}

void BlurCopyOfFrame(unsigned weight)
{
    CopyFrameToTexture(FrameTexture);
    ShrinkFrameIntoCorner();
    ShrinkCornerToBlurSize();
    BlurSmallCopy(weight);
}

void BlendAndAddGlow(float r, float g, float b, float a)
{
    // BlendBlurTinted gives blur * c * (1 - a) + frame * a, and AddGlow then adds blur * c:
    // together frame * a + blur * c * (2 - a), clamped, which is one pass with the blend
    // (GL_ONE, GL_SRC_ALPHA) and a source of blur * c * (2 - a). The colour cannot exceed
    // 1, so it carries half of that factor and the texture stage doubles it.
    BeginOverlay();
    glColor4f(r * (2 - a) / 2, g * (2 - a) / 2, b * (2 - a) / 2, a);
    SetCombine(GL_MODULATE, {{GL_TEXTURE, GL_SRC_COLOR}, {GL_PRIMARY_COLOR, GL_SRC_COLOR}}, //
               GL_REPLACE, {{GL_PRIMARY_COLOR, GL_SRC_ALPHA}}, 2.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, BlurTexture);
    DrawTextureRect(OverlayWidth, OverlayHeight, 1, 1);
    glDisable(GL_BLEND);
    RestoreTextureEnvironment();
    glColor4f(r, g, b, a); // the tint stays the current colour, as after the two passes
    EndOverlay();
}

void BlurFrame(unsigned weight, float r, float g, float b, float a)
{
    BlurCopyOfFrame(weight);
    BlendBlurTinted(r, g, b, a);
}

void GlowPass(unsigned weight, float r, float g, float b, float a)
{
    BlurCopyOfFrame(weight);
    BlendAndAddGlow(r, g, b, a);
}

namespace {

// The picture's rows under each bar that the letterbox covers whole: the band is symmetric,
// so as many from the bottom as from the top. A row the bar's edge crosses stays in the band.
int RowsUnderABar()
{
    return static_cast<int>(BandTop() * static_cast<float>(PictureSize().height) / OverlayHeight);
}

} // namespace

void ClipToPictureBand()
{
    const PixelSize picture = PictureSize();
    const int bar = RowsUnderABar();
    glScissor(0, bar, picture.width, picture.height - 2 * bar);
    glEnable(GL_SCISSOR_TEST);
}

void ClipToPictureBand(const ViewRegion& region)
{
    const PixelSize picture = PictureSize();
    const float width = static_cast<float>(picture.width), height = static_cast<float>(picture.height);
    // A pixel of margin on every side covers the rasteriser's rounding.
    const int x0 = static_cast<int>(std::floor((region.left + 1.0f) * 0.5f * width)) - 1;
    const int x1 = static_cast<int>(std::ceil((region.right + 1.0f) * 0.5f * width)) + 1;
    const int y0 = static_cast<int>(std::floor((region.bottom + 1.0f) * 0.5f * height)) - 1;
    const int y1 = static_cast<int>(std::ceil((region.top + 1.0f) * 0.5f * height)) + 1;
    const int bar = RowsUnderABar();
    const int bottom = std::max(y0, bar), top = std::min(y1, picture.height - bar);
    const int left = std::max(x0, 0), right = std::min(x1, picture.width);
    glScissor(left, bottom, std::max(right - left, 0), std::max(top - bottom, 0));
    glEnable(GL_SCISSOR_TEST);
}

void ClearWholeWindow(GLbitfield buffers)
{
    const bool clipped = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glDisable(GL_SCISSOR_TEST);
    glClear(buffers);
    if (clipped) glEnable(GL_SCISSOR_TEST);
}

void BeginFinishing()
{
    glDisable(GL_SCISSOR_TEST);
    SetPictureViewport();
    glDisable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 1);
}

void DrawLetterbox()
{
    const float top = BandTop();
    const float bottom = BandBottom();
    BeginOverlay();
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glColor4f(0, 0, 0, 1);
    glVertex2f(0, 0);
    glVertex2f(OverlayWidth, 0);
    glVertex2f(OverlayWidth, top);
    glVertex2f(0, top);
    glVertex2f(0, bottom);
    glVertex2f(OverlayWidth, bottom);
    glVertex2f(OverlayWidth, OverlayHeight);
    glVertex2f(0, OverlayHeight);
    glEnd();
    EndOverlay();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
}

void ResolveFinishingTextures()
{
    g_vignetteTexture = FindTexture(GlobalTextures, "vinget");
    g_noiseTexture = FindTexture(GlobalTextures, "noise");
}

void DrawVignette()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    BindTextureId(g_vignetteTexture);
    glColor4f(1, 1, 1, 1);
    DrawBandQuad(0, 0, 1, 1);
    glDisable(GL_BLEND);
    EndOverlay();
}

void DrawNoise()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BindTextureId(g_noiseTexture);
    glColor4f(1, 1, 1, 1);
    const Float3& offset = NoiseOffset();
    DrawBandQuad(offset.x, offset.y, offset.x + 0.2f, offset.y + 0.2f);
    glDisable(GL_BLEND);
    EndOverlay();
}

void DrawVignetteAndNoise(const FadeLayer& fadeBefore, float fadeAfter)
{
    // Without one of the two textures its pass binds texture 0 and draws untextured, in the
    // colour alone: the combined stages cannot stand for that, so the layers are drawn one by
    // one. A fade before them covers the band as it would before the letterbox, which then
    // blackens the bars again.
    if (g_vignetteTexture == 0 || g_noiseTexture == 0) {
        if (fadeBefore.alpha < 1.0f) {
            DrawFade(fadeBefore.r, fadeBefore.g, fadeBefore.b, fadeBefore.alpha);
            DrawLetterbox();
        }
        DrawVignette();
        DrawNoise();
        if (fadeAfter < 1.0f) DrawFade(fadeAfter);
        glColor4f(1, 1, 1, 1);
        return;
    }
    // The vignette gives v = vc * (1 - va) + frame * va, the noise then nc * na + v * (1 - na):
    // together a source s = nc * na + vc * (1 - va) * (1 - na) added to the frame times
    // k = va * (1 - na), which two texture stages compute and the blend applies in one pass
    // over the band. A fade before the layers turns the frame into frame * a + c * (1 - a)
    // (fade colour c, alpha a): the frame's factor becomes k * a and the source gains
    // c * (1 - a) * va * (1 - na), which the first stage adds as its constant colour weighted
    // by va. A fade to black after them scales the sum by fadeAfter: the kept share is carried
    // by the colour's alpha, the source's factor by the blend colour.
    glEnable(GL_BLEND);
    glBlendColor(fadeAfter, fadeAfter, fadeAfter, fadeAfter);
    glBlendFunc(GL_CONSTANT_COLOR, GL_SRC_ALPHA);
    glColor4f(1, 1, 1, fadeBefore.alpha * fadeAfter);
    BindTextureId(g_vignetteTexture);
    const float fadeShare = 1.0f - fadeBefore.alpha;
    const GLfloat fadeColour[4] = {fadeBefore.r * fadeShare, fadeBefore.g * fadeShare, fadeBefore.b * fadeShare, 0};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, fadeColour);
    SetCombine(GL_INTERPOLATE, {{GL_CONSTANT, GL_SRC_COLOR}, {GL_TEXTURE, GL_SRC_COLOR}, {GL_TEXTURE, GL_SRC_ALPHA}},
               GL_MODULATE, {{GL_TEXTURE, GL_SRC_ALPHA}, {GL_PRIMARY_COLOR, GL_SRC_ALPHA}});
    glActiveTexture(GL_TEXTURE1);
    BindTextureId(g_noiseTexture);
    SetCombine(GL_INTERPOLATE, {{GL_TEXTURE, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}, {GL_TEXTURE, GL_SRC_ALPHA}},
               GL_MODULATE, {{GL_PREVIOUS, GL_SRC_ALPHA}, {GL_TEXTURE, GL_ONE_MINUS_SRC_ALPHA}});
    const Float3& offset = NoiseOffset();
    const float top = BandTop();
    const float bottom = BandBottom();
    glBegin(GL_QUADS);
    glMultiTexCoord2f(GL_TEXTURE0, 0, 0);
    glMultiTexCoord2f(GL_TEXTURE1, offset.x, offset.y);
    glVertex2f(0, top);
    glMultiTexCoord2f(GL_TEXTURE0, 1, 0);
    glMultiTexCoord2f(GL_TEXTURE1, offset.x + 0.2f, offset.y);
    glVertex2f(OverlayWidth, top);
    glMultiTexCoord2f(GL_TEXTURE0, 1, 1);
    glMultiTexCoord2f(GL_TEXTURE1, offset.x + 0.2f, offset.y + 0.2f);
    glVertex2f(OverlayWidth, bottom);
    glMultiTexCoord2f(GL_TEXTURE0, 0, 1);
    glMultiTexCoord2f(GL_TEXTURE1, offset.x, offset.y + 0.2f);
    glVertex2f(0, bottom);
    glEnd();
    RestoreTextureEnvironment();
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    RestoreTextureEnvironment();
    const GLfloat noColour[4] = {0, 0, 0, 0};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, noColour);
    glDisable(GL_BLEND);
    glBlendColor(0, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
    EndOverlay();
}

void SetNoiseTickCount(uint32_t ticks)
{
    g_noiseTicks = ticks;
}

void DrawFade(float r, float g, float b, float alpha)
{
    BeginOverlay();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    glColor4f(r, g, b, alpha);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(OverlayWidth, 0);
    glVertex2f(OverlayWidth, OverlayHeight);
    glVertex2f(0, OverlayHeight);
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    EndOverlay();
}

void DrawFade(float alpha)
{
    DrawFade(0, 0, 0, alpha);
}

void DrawFinishingLayers(const FadeLayer& fadeBefore, float fadeAfter)
{
    BeginFinishing();
    DrawLetterbox();
    DrawVignetteAndNoise(fadeBefore, fadeAfter);
}

namespace {

// The end every frame shares: the layers (with the fades they fold in; they leave the colour
// white) and the glow.
void FinishWithFades(const FadeLayer& fadeBefore, float fadeAfter, unsigned glowWeight, float r, float g, float b,
                     float a)
{
    DrawFinishingLayers(fadeBefore, fadeAfter);
    GlowPass(glowWeight, r, g, b, a);
}

} // namespace

void FinishFrame(unsigned glowWeight, float r, float g, float b, float a)
{
    FinishWithFades(1.0f, 1.0f, glowWeight, r, g, b, a);
}

void FinishFadedFrame(const FadeLayer& fade, unsigned glowWeight, float r, float g, float b, float a)
{
    // The fade covers the whole window, but the letterbox that follows blackens the bars
    // again: only the band keeps it, and there it is part of the layers' pass.
    FinishWithFades(fade, 1.0f, glowWeight, r, g, b, a);
}

void FinishFrameFadingToBlack(float fadeAlpha, unsigned glowWeight, float r, float g, float b,
                              float a)
{
    // The bars are black already and stay black under a fade to black.
    FinishWithFades(1.0f, fadeAlpha, glowWeight, r, g, b, a);
}
