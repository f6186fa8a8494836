// Starting the renderer on a context.
#include "gl/renderer.h"

#include "gl/driver_gl.h"
#include "gl/fixed_entry_points.h"

GlEntryPoints GlDispatch = FixedEntryPoints;

std::string StartRenderer()
{
    GlDispatch = FixedEntryPoints;
    return {};
}

std::string RendererDescription()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer ? renderer : "unknown";
}

bool DriverReportsFramebufferLimits()
{
    return epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_ARB_framebuffer_no_attachments");
}
