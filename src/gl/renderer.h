// The renderer: which pipeline the calls of gl/gl.h reach. `fixed` is the driver's own
// fixed-function pipeline on a compatibility context; `shaders` is the layer of our own that
// draws the same with generated shaders, on a core profile or an OpenGL ES 3 context (the API
// WebGL 2 offers). The choice is made before the window, since it decides the kind of context,
// and the renderer is started on every context made current.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class Renderer { Fixed, Shaders };

// "fixed" or "shaders"; nullopt for any other name.
std::optional<Renderer> RendererNamed(std::string_view name);
const char* RendererName(Renderer renderer);

enum class GlContextKind { Compatibility, Core, Es };

// The renderer of the contexts made from now on. The shader renderer runs on a core profile
// unless ES is asked for. In a browser, whose WebGL has no fixed-function pipeline, the choice
// stays the shader renderer on OpenGL ES 3.0 (WebGL 2), as are both renderers asked for.
void ChooseRenderer(Renderer renderer, GlContextKind shaderContext = GlContextKind::Core);
// Both renderers on one compatibility context, switched with UseRenderer: the benchmark
// draws every frame with each, so that the two are timed on the same machine at the same
// moment. The fixed renderer draws first.
void ChooseBothRenderers();
bool BothRenderersChosen();
// The choice as the command line names it: "fixed", "shaders" or "fixed,shaders".
const char* ChosenRendererName();
// The context the choice needs, and the version to ask for (0.0 for any).
GlContextKind ContextKindToMake();
int ContextMajorVersionToMake();
int ContextMinorVersionToMake();

// With a new context current: starts the chosen renderer on it from GL's initial state (a new
// context starts from defaults, and the layer's objects belong to one context). Returns what
// makes the context unfit ("" when it serves).
std::string StartRenderer();
// The context is about to go: the layer forgets the objects that went with it.
void StopRenderer();

Renderer CurrentRenderer();
// Switches the renderer on a context that serves both, handing the fixed-function state over
// (matrices, current attributes, texture environments, alpha test, fog), so that drawing goes
// on where the other left it.
void UseRenderer(Renderer renderer);

// The renderer's name with the driver's renderer and version strings: "shaders on llvmpipe (LLVM
// 15.0.6, 256 bits), OpenGL ES 3.2 Mesa 22.3.6".
std::string RendererDescription(Renderer renderer);

// Whether the driver says how large a framebuffer may be (GL_MAX_FRAMEBUFFER_WIDTH and
// _HEIGHT: OpenGL 4.3, or its extension).
bool DriverReportsFramebufferLimits();
