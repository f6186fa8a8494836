// This program draws with the renderer on shaders on a desktop core profile: the golden frames
// and the whole piece, and the layer's own checks.
#include "gl/renderer.h"

namespace {

const bool g_chosen = (ChooseRenderer(Renderer::Shaders, GlContextKind::Core), true);

} // namespace
