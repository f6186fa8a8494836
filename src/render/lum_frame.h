// lum_frame: the frame effects every scene finishes with. The glow chain shrinks the frame
// on the graphics card (640 x 480 -> 256 x 256 -> 128 x 128, each step drawn into a
// framebuffer of its own, as if into the top-left corner of the window; a picture of another
// size is first brought to 640 x 480 without aliasing), blurs the small copy on the processor
// with integer passes and lays the blur over the untouched frame; the finishing steps add
// letterbox bars, vignette, film grain and fades. Nothing here allocates per frame.
// Depends on lum_views, view_region, the picture's size, lum_textures (CreateEmptyTexture,
// BindTexture), globaldata (GlobalTextures, RandomPairs).
//
// Every drawing step here works in the overlay space and leaves GL_MODELVIEW selected.
#pragma once

#include "gl/gl.h"
#include "render/view_region.h"

#include <cstdint>

// Render targets, made once by CreateRenderTargets and overwritten by every glow pass.
extern GLuint FrameTexture;  // 1024 x 512; the frame sits in its lower-left 640 x 480
extern GLuint CornerTexture; // 256 x 256
extern GLuint BlurTexture;   // 128 x 128
// The other three 1024 x 512 targets. Nothing draws into them; they are made so that every
// texture name after them is the same as in a run that has them.
extern GLuint UnusedFrameTargets[3];

// Makes, with CreateEmptyTexture and in this order: four 1024 x 512 targets (the third is
// FrameTexture), CornerTexture, BlurTexture; then the framebuffers the shrinking steps draw
// into (CornerTexture's, and a 128 x 128 one whose only use is to be read back), and
// MatchRenderTargetsToPicture. The textures are the same at every picture size.
void CreateRenderTargets();
// Makes the halved copies of the frame that CopyFrameToTexture steps down through, for the
// picture's current size (none at 640 x 480): at start, and when the picture changes size.
void MatchRenderTargetsToPicture();

// The glow chain, in the order GlowPass runs it.
// The frame at the overlay's 640 x 480 in the lower-left corner of the texture: the picture
// copied as it is at that size, otherwise stepped down (or up) to it, filtered so that nothing
// aliases. Framebuffer bindings and the scissor test are left as they were.
void CopyFrameToTexture(GLuint texture);
// Draws FrameTexture shrunk to 256 x 256 into CornerTexture, white, blending off: the pixels
// the top-left corner of the window would get.
void ShrinkFrameIntoCorner();
// Draws CornerTexture shrunk to 128 x 128, white, blending off, into the small framebuffer.
void ShrinkCornerToBlurSize();
// Reads the 128 x 128 pixels at the bottom left of the framebuffer bound for reading, blurs
// them with BlurCornerPixels and uploads them to BlurTexture. weight runs from 0 (no blur) to
// 256 (everything takes the first pixel's colour); larger values count as 256.
void BlurCorner(unsigned weight);
// BlurCorner on the small framebuffer; the read binding is left as it was.
void BlurSmallCopy(unsigned weight);
// BlurTexture over the whole window: blur * colour * (1 - a) + frame * a.
void BlendBlurTinted(float r, float g, float b, float a);
// BlurTexture added to the whole window, modulated by the current colour.
void AddGlow();
// The first steps of the glow chain: the frame saved, shrunk and blurred into BlurTexture; the
// frame itself is left as it was.
void BlurCopyOfFrame(unsigned weight);
// BlendBlurTinted(r, g, b, a) and AddGlow as one full-window pass: frame * a +
// blur * colour * (2 - a), equal to the two passes up to rounding; the tint stays the colour.
void BlendAndAddGlow(float r, float g, float b, float a);

// The 128 x 128 RGB corner image (rows bottom-up, 384 bytes each) blurred in place: a
// first-order recursive smoothing up, down, right, then left, each output
// (previous * weight + own * (256 - weight)) div 256 in unsigned integers.
constexpr int BlurSize = 128;
constexpr int BlurRowBytes = BlurSize * 3;
constexpr int BlurImageBytes = BlurSize * BlurRowBytes;
void BlurCornerPixels(unsigned char (&pixels)[BlurImageBytes], unsigned weight);

// BlurCopyOfFrame and BlendBlurTinted: the frame replaced by
// blur * colour * (1 - a) + frame * a. Scenes that want a softened picture without the
// additive glow use this.
void BlurFrame(unsigned weight, float r, float g, float b, float a);
// BlurFrame, then AddGlow (the last two steps as one pass): the last step of nearly every frame.
void GlowPass(unsigned weight, float r, float g, float b, float a);

// Limits drawing to the picture band until BeginFinishing. The letterbox covers everything
// else before anything reads the frame, so those pixels need not be drawn: a quarter of the
// fill of every scene that calls it. Not for a scene that reads the frame before its
// letterbox (a blur of the whole frame), which would see what lies under the bars.
void ClipToPictureBand();
// The same, limited further to the pixels the region of the view touches (with one pixel of
// margin for the rasteriser's rounding), for drawing that can show only inside it.
void ClipToPictureBand(const ViewRegion& region);

// glClear(buffers) over the whole window, also while drawing is clipped to the picture band.
// The renderer clears a whole window tile by tile but draws a clipped clear as a quad,
// shaded pixel by pixel, at about twice the cost; the bars it clears as well are covered by
// the letterbox before anything reads them. The clip is left as it was.
void ClearWholeWindow(GLbitfield buffers);

// The finishing steps, in the order scenes issue them after their 3D drawing.
// Scissor test off, viewport over the whole picture, depth test off, colour white.
void BeginFinishing();
// Black bars over rows 0-60 and 420-480; leaves the overlay projection, texturing on,
// colour white.
void DrawLetterbox();
// "vinget" over the picture band: where its alpha is 1 the frame stays. Draws in the overlay
// projection DrawLetterbox left.
void DrawVignette();
// A 0.2 x 0.2 window of "noise" over the picture band, moved to the RandomPairs entry
// (tick count div 15) mod 1000. Draws in the overlay projection DrawLetterbox left.
void DrawNoise();
// A DrawFade(r, g, b, alpha) folded into the finishing layers: colour * (1 - alpha) + frame *
// alpha. The default is no fade; a bare alpha is a fade to black.
struct FadeLayer {
    FadeLayer(float kept = 1.0f) : alpha(kept) {}
    FadeLayer(float red, float green, float blue, float kept) : r(red), g(green), b(blue), alpha(kept) {}
    float r = 0, g = 0, b = 0, alpha = 1;
};
// DrawVignette and DrawNoise as one pass over the band (two texture stages), equal to the two
// passes up to rounding. With fadeBefore's alpha below 1 it also stands for that DrawFade just
// before the letterbox, with fadeAfter below 1 for a DrawFade(fadeAfter) just after it: the
// same frame, one pass fewer. When the library lacks "vinget" or "noise" (whose pass then
// draws untextured: the noise a white layer) the passes are drawn one by one. Leaves the
// colour white.
void DrawVignetteAndNoise(const FadeLayer& fadeBefore = {}, float fadeAfter = 1.0f);
// Looks up "vinget" and "noise" once the global data set is loaded; the finishing steps bind
// the ids (0 until then, as for a name the library lacks).
void ResolveFinishingTextures();
// The tick count DrawNoise reads. The frame clock sets it before every frame: the system
// tick counter in a run, the frame's music time offline.
void SetNoiseTickCount(uint32_t ticks);
// colour * (1 - alpha) + frame * alpha over the whole window.
void DrawFade(float r, float g, float b, float alpha);
// A fade to black.
void DrawFade(float alpha);

// BeginFinishing, DrawLetterbox, DrawVignetteAndNoise(fadeBefore, fadeAfter).
void DrawFinishingLayers(const FadeLayer& fadeBefore = {}, float fadeAfter = 1.0f);
// The usual end of a frame: DrawFinishingLayers, colour white, GlowPass(weight, r, g, b, a).
void FinishFrame(unsigned glowWeight, float r, float g, float b, float a);
// The end of a frame that fades before its finishing layers: the picture of DrawFade(fade.r,
// fade.g, fade.b, fade.alpha) (a bare alpha: DrawFade(alpha), to black) and then
// FinishFrame(weight, r, g, b, a), one full-window pass fewer.
void FinishFadedFrame(const FadeLayer& fade, unsigned glowWeight, float r, float g, float b, float a);
// The same with the fade to black between the layers and the glow: the picture of
// DrawFinishingLayers, DrawFade(fadeAlpha), colour white, GlowPass(weight, r, g, b, a).
void FinishFrameFadingToBlack(float fadeAlpha, unsigned glowWeight, float r, float g, float b,
                              float a);
