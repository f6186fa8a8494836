// Fuzzes the text geox reader; loaded meshes get normals, which touch every index.
#include "base/error.h"
#include "base/message_box.h"
#include "mesh_checks.h"
#include "resources/lum_geox.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// The reader shows a box for a bad index before it raises its error; nobody is there to
// answer it.
const bool silentBoxes = [] {
    SetMessageBoxHandler([](std::string_view, std::string_view, BoxButtons, BoxIcon) { return BoxAnswer::Ok; });
    return true;
}();


} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GeoxMesh mesh;
    try {
        ParseTextGeox(mesh, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.textgeox");
    } catch (const FatalError&) {
        return 0;
    }
    ComputeFaceNormals(mesh);
    ComputeVertexNormals(mesh);
    ExpectFiniteMesh(mesh);
    return 0;
}
