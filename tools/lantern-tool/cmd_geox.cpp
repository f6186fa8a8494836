// lantern-tool geox FILE: reads a geox mesh (a text one when the name contains
// ".textgeox" in any case) and prints its counts and bounding box in file coordinates.
#include "command.h"

#include "resources/lum_geox.h"
#include "resources/lum_log.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

namespace {

bool IsTextGeox(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.find(".textgeox") != std::string::npos;
}

int ShowGeox(const std::string& path)
{
    LogEnabled = false;
    GeoxMesh mesh;
    if (IsTextGeox(path)) {
        LoadTextGeox(mesh, path);
    } else {
        LoadGeox(mesh, path);
    }
    std::printf("vertices %d triangles %d\n", mesh.vertexCount, mesh.triangleCount);
    if (mesh.vertices.empty()) {
        std::printf("bounding box empty\n");
        return 0;
    }
    GeoxVertex low = mesh.vertices.front(), high = low;
    for (const GeoxVertex& vertex : mesh.vertices) {
        low.x = std::min(low.x, vertex.x);
        low.y = std::min(low.y, vertex.y);
        low.z = std::min(low.z, vertex.z);
        high.x = std::max(high.x, vertex.x);
        high.y = std::max(high.y, vertex.y);
        high.z = std::max(high.z, vertex.z);
    }
    std::printf("bounding box %g %g %g .. %g %g %g\n", low.x, low.y, low.z, high.x, high.y, high.z);
    return 0;
}

void Setup(CLI::App& command, std::function<int()>& run)
{
    static std::string path;
    command.add_option("FILE", path, "binary or text geox file")->required();
    run = [] { return ShowGeox(path); };
}

const bool registered = RegisterCommand("geox", "print the counts and bounding box of a geox mesh", &Setup);

} // namespace
