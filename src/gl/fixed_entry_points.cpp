// The fixed renderer: every entry point of the subset forwarded to the driver.
#include "gl/driver_gl.h"
#include "gl/fixed_entry_points.h"

#if LANTERN_FIXED_FUNCTION_DRIVER

namespace {

#define LANTERN_GL_FORWARD(kind, result, name, parameters, arguments)                                                  \
    result Driver##name parameters                                                                                     \
    {                                                                                                                  \
        return gl##name arguments;                                                                                     \
    }
LANTERN_GL_ENTRY_POINTS(LANTERN_GL_FORWARD)
#undef LANTERN_GL_FORWARD

} // namespace

const GlEntryPoints FixedEntryPoints = {
#define LANTERN_GL_DRIVER_ENTRY(kind, result, name, parameters, arguments) Driver##name,
    LANTERN_GL_ENTRY_POINTS(LANTERN_GL_DRIVER_ENTRY)
#undef LANTERN_GL_DRIVER_ENTRY
};

#endif
