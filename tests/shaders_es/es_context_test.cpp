// The context under this program's golden frames is OpenGL ES 3, not a desktop profile.
#include "gl/renderer.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

namespace {

TEST(EsContext, TheRendererOnShadersDrawsOnOpenGlEs3)
{
    EnsureGlContext();
    EXPECT_EQ(CurrentRenderer(), Renderer::Shaders);
    EXPECT_NE(RendererDescription(Renderer::Shaders).find("OpenGL ES 3"), std::string::npos)
        << RendererDescription(Renderer::Shaders);
}

} // namespace
