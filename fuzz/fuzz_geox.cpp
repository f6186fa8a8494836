// Fuzzes the binary geox reader; a mesh that loads is also given normals, which touch
// every index, so a bad index that slipped through shows up as an out-of-bounds access.
#include "base/error.h"
#include "mesh_checks.h"
#include "resources/lum_geox.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GeoxMesh mesh;
    try {
        ParseGeox(mesh, data, size, "fuzz.geox");
    } catch (const FatalError&) {
        return 0;
    }
    ComputeFaceNormals(mesh);
    ComputeVertexNormals(mesh);
    ExpectFiniteMesh(mesh);
    return 0;
}
