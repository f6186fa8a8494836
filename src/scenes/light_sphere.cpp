// Light spheres.
#include "scenes/light_sphere.h"

#include "base/random.h"
#include "render/mesh_batch.h"
#include "resources/globaldata.h"

GLuint BuildLightSphere(int n)
{
    MeshBatch planes;
    GlMatrix turned;
    for (int i = 0; i < n; ++i) {
        turned.Rotate(static_cast<float>(Random01() * 1440), 1, 0.7f, 1.2f);
        planes.Add(PlaneMesh, turned);
    }
    return planes.CompileList(turned);
}
