// This program draws with the renderer on shaders on an OpenGL ES 3 context, the API WebGL 2
// offers: the golden frames must come out the same as on the desktop.
#include "gl/renderer.h"

namespace {

const bool g_chosen = (ChooseRenderer(Renderer::Shaders, GlContextKind::Es), true);

} // namespace
