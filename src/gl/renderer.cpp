// Choosing, starting and switching the renderer.
#include "gl/renderer.h"

#include "gl/driver_gl.h"
#include "gl/ffp.h"
#include "gl/fixed_entry_points.h"

#if LANTERN_FIXED_FUNCTION_DRIVER
GlEntryPoints GlDispatch = FixedEntryPoints;
#else
GlEntryPoints GlDispatch = ShaderEntryPoints;
#endif

namespace {

enum class Choice { Fixed, Shaders, Both };
Choice g_choice = LANTERN_FIXED_FUNCTION_DRIVER ? Choice::Fixed : Choice::Shaders;
// WebGL has no fixed-function pipeline and no desktop profile: there the layer draws, on
// OpenGL ES 3.0 (WebGL 2), whatever is chosen.
GlContextKind g_shaderContext = LANTERN_FIXED_FUNCTION_DRIVER ? GlContextKind::Core : GlContextKind::Es;
Renderer g_current = Renderer::Fixed;

#if LANTERN_FIXED_FUNCTION_DRIVER

// Both renderers on one compatibility context: each call goes where its kind says (the list in
// gl/gl_entry_points.h). Fixed-function state is kept by both, the driver and the layer, so that
// either can draw next; the layer keeps its books of textures and buffers whichever draws;
// drawing and queries go to the renderer that draws, and while the driver compiles a display
// list the layer records it too, so that both can call it.
// clang-format off
#define LANTERN_SHARED_Driver(result, name, parameters, arguments) \
    result Shared##name parameters { return FixedEntryPoints.name arguments; }
#define LANTERN_SHARED_State(result, name, parameters, arguments) \
    result Shared##name parameters { FixedEntryPoints.name arguments; return ffp::name arguments; }
#define LANTERN_SHARED_Tracked(result, name, parameters, arguments) \
    result Shared##name parameters { return ffp::name arguments; }
#define LANTERN_SHARED_Draw(result, name, parameters, arguments) \
    result FixedDraws##name parameters \
    { if (ffp::Recording()) ffp::name arguments; return FixedEntryPoints.name arguments; }
#define LANTERN_SHARED_Query(result, name, parameters, arguments)
#define LANTERN_SHARED(kind, result, name, parameters, arguments) \
    LANTERN_SHARED_##kind(result, name, parameters, arguments)
LANTERN_GL_ENTRY_POINTS(LANTERN_SHARED)
#undef LANTERN_SHARED

#define LANTERN_WHEN_FIXED_DRAWS_Driver(name) Shared##name
#define LANTERN_WHEN_FIXED_DRAWS_State(name) Shared##name
#define LANTERN_WHEN_FIXED_DRAWS_Tracked(name) Shared##name
#define LANTERN_WHEN_FIXED_DRAWS_Draw(name) FixedDraws##name
#define LANTERN_WHEN_FIXED_DRAWS_Query(name) FixedEntryPoints.name
#define LANTERN_WHEN_SHADERS_DRAW_Driver(name) Shared##name
#define LANTERN_WHEN_SHADERS_DRAW_State(name) Shared##name
#define LANTERN_WHEN_SHADERS_DRAW_Tracked(name) Shared##name
#define LANTERN_WHEN_SHADERS_DRAW_Draw(name) ffp::name
#define LANTERN_WHEN_SHADERS_DRAW_Query(name) ffp::name
// clang-format on

GlEntryPoints g_fixedDraws, g_shadersDraw;

// The two tables, filled once: the fixed renderer's entry points are constants of another file.
void MakeBothRenderersTables()
{
#define LANTERN_FILL(kind, result, name, parameters, arguments)                                                         \
    g_fixedDraws.name = LANTERN_WHEN_FIXED_DRAWS_##kind(name);                                                         \
    g_shadersDraw.name = LANTERN_WHEN_SHADERS_DRAW_##kind(name);
    LANTERN_GL_ENTRY_POINTS(LANTERN_FILL)
#undef LANTERN_FILL
}

#endif

// What a context must offer the layer: the OpenGL ES 3.0 API (WebGL 2's), or a desktop
// profile of 3.2 or later with the same calls.
std::string LayerContextFault()
{
#if LANTERN_FIXED_FUNCTION_DRIVER
    const int version = epoxy_gl_version();
    if (epoxy_is_desktop_gl() ? version < 32 : version < 30)
        return "the renderer on shaders needs OpenGL 3.2 or OpenGL ES 3.0; this context offers " +
               std::string(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
#endif
    return {};
}

} // namespace

std::optional<Renderer> RendererNamed(std::string_view name)
{
    if (name == "fixed") return Renderer::Fixed;
    if (name == "shaders") return Renderer::Shaders;
    return std::nullopt;
}

const char* RendererName(Renderer renderer)
{
    return renderer == Renderer::Fixed ? "fixed" : "shaders";
}

void ChooseRenderer(Renderer renderer, GlContextKind shaderContext)
{
    if (!LANTERN_FIXED_FUNCTION_DRIVER) return;
    g_choice = renderer == Renderer::Fixed ? Choice::Fixed : Choice::Shaders;
    g_shaderContext = shaderContext;
}

void ChooseBothRenderers()
{
    if (LANTERN_FIXED_FUNCTION_DRIVER) g_choice = Choice::Both;
}

bool BothRenderersChosen()
{
    return g_choice == Choice::Both;
}

const char* ChosenRendererName()
{
    switch (g_choice) {
    case Choice::Fixed: return "fixed";
    case Choice::Shaders: return "shaders";
    case Choice::Both: return "fixed,shaders";
    }
    return "";
}

GlContextKind ContextKindToMake()
{
    return g_choice == Choice::Shaders ? g_shaderContext : GlContextKind::Compatibility;
}

int ContextMajorVersionToMake()
{
    return g_choice == Choice::Shaders ? 3 : 0;
}

int ContextMinorVersionToMake()
{
    return g_choice == Choice::Shaders && g_shaderContext == GlContextKind::Core ? 2 : 0;
}

std::string StartRenderer()
{
    switch (g_choice) {
#if LANTERN_FIXED_FUNCTION_DRIVER
    case Choice::Fixed:
        GlDispatch = FixedEntryPoints;
        g_current = Renderer::Fixed;
        return {};
    case Choice::Both:
        MakeBothRenderersTables();
        ffp::StartLayer();
        g_current = Renderer::Shaders;
        UseRenderer(Renderer::Fixed);
        return {};
#endif
    default: {
        std::string fault = LayerContextFault();
        if (!fault.empty()) return fault;
        ffp::StartLayer();
        GlDispatch = ShaderEntryPoints;
        g_current = Renderer::Shaders;
        return {};
    }
    }
}

void StopRenderer()
{
    if (g_choice != Choice::Fixed) ffp::StopLayer();
}

Renderer CurrentRenderer()
{
    return g_current;
}

void UseRenderer(Renderer renderer)
{
#if LANTERN_FIXED_FUNCTION_DRIVER
    if (g_choice != Choice::Both || renderer == g_current) return;
    g_current = renderer;
    if (renderer == Renderer::Shaders) {
        ffp::BindLayerVertexArray();
        ffp::ForgetCurrentProgram();
        GlDispatch = g_shadersDraw;
        return;
    }
    // The driver's fixed pipeline draws with no program, the default vertex array object and
    // the application's array buffer (the layer's streams were bound last).
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, ffp::State.arrayBuffer);
    ffp::ForgetDriverBindings();
    GlDispatch = g_fixedDraws;
#else
    static_cast<void>(renderer);
#endif
}

std::string RendererDescription(Renderer renderer)
{
    const auto* driver = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(RendererName(renderer)) + " on " + (driver ? driver : "unknown") + ", " +
           (version ? version : "unknown");
}

bool DriverReportsFramebufferLimits()
{
#if LANTERN_FIXED_FUNCTION_DRIVER
    return epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_ARB_framebuffer_no_attachments");
#else
    return false;
#endif
}
