// The layer on shaders as a table of entry points: the calls it keeps itself (in the other
// ffp_*.cpp files) and, made here from the list, those it passes straight to the driver.
#include "gl/driver_gl.h"
#include "gl/ffp.h"

namespace ffp {

// The Driver kind of the list: the driver's own call, unchanged.
#define LANTERN_FFP_PASS_Driver(result, name, parameters, arguments)                                                   \
    result name parameters                                                                                             \
    {                                                                                                                  \
        return gl##name arguments;                                                                                     \
    }
#define LANTERN_FFP_PASS_State(result, name, parameters, arguments)
#define LANTERN_FFP_PASS_Tracked(result, name, parameters, arguments)
#define LANTERN_FFP_PASS_Draw(result, name, parameters, arguments)
#define LANTERN_FFP_PASS_Query(result, name, parameters, arguments)
#define LANTERN_FFP_PASS(kind, result, name, parameters, arguments)                                                    \
    LANTERN_FFP_PASS_##kind(result, name, parameters, arguments)
LANTERN_GL_ENTRY_POINTS(LANTERN_FFP_PASS)
#undef LANTERN_FFP_PASS

void StartLayer()
{
    State = FfpState{};
    ForgetPrograms();
    ForgetTextures();
    ForgetLists();
    StartVertexStreams();
    glActiveTexture(GL_TEXTURE0);
}

void StopLayer()
{
    StopVertexStreams();
    ForgetPrograms();
    ForgetTextures();
    ForgetLists();
}

} // namespace ffp

const GlEntryPoints ShaderEntryPoints = {
#define LANTERN_FFP_ENTRY(kind, result, name, parameters, arguments) ffp::name,
    LANTERN_GL_ENTRY_POINTS(LANTERN_FFP_ENTRY)
#undef LANTERN_FFP_ENTRY
};
