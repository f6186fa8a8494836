// What every mesh a geox reader accepts must satisfy, shared by the geox fuzz targets.
#pragma once

#include "resources/lum_geox.h"

#include <cmath>

// Finite numbers everywhere, and so finite normals once they are computed.
inline void ExpectFiniteMesh(const GeoxMesh& mesh)
{
    for (const GeoxVertex& v : mesh.vertices)
        for (const float value : {v.x, v.y, v.z, v.u, v.v, v.nx, v.ny, v.nz})
            if (!std::isfinite(value)) __builtin_trap();
    for (const GeoxTriangle& t : mesh.triangles)
        for (const float value : {t.nx, t.ny, t.nz})
            if (!std::isfinite(value)) __builtin_trap();
}
