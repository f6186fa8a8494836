// Scene transforms, mesh bounds and the generated data folder of the data set tests.
#include "mesh_scene_space.h"

#include "datagen/families.h"
#include "base/files.h"
#include "resources/lum_log.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

std::array<double, 16> Multiply(const std::array<double, 16>& a, const std::array<double, 16>& b)
{
    std::array<double, 16> r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                r[i * 4 + j] += a[i * 4 + k] * b[k * 4 + j];
            }
        }
    }
    return r;
}

} // namespace

ModelTransform& ModelTransform::Translate(float x, float y, float z)
{
    m_m = Multiply(m_m, {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1});
    return *this;
}

ModelTransform& ModelTransform::Scale(float x, float y, float z)
{
    m_m = Multiply(m_m, {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
    return *this;
}

ModelTransform& ModelTransform::Rotate(float degrees, float x, float y, float z)
{
    double l = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    double nx = x / l, ny = y / l, nz = z / l;
    double a = degrees * 3.14159265358979 / 180, c = std::cos(a), s = std::sin(a), k = 1 - c;
    m_m = Multiply(m_m, {nx * nx * k + c, nx * ny * k - nz * s, nx * nz * k + ny * s, 0,
                         ny * nx * k + nz * s, ny * ny * k + c, ny * nz * k - nx * s, 0,
                         nz * nx * k - ny * s, nz * ny * k + nx * s, nz * nz * k + c, 0, 0, 0, 0, 1});
    return *this;
}

Point3 ModelTransform::Apply(Point3 p) const
{
    const auto& m = m_m;
    return {float(m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3]), float(m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7]),
            float(m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11])};
}

bool Bounds::Contains(Point3 p) const
{
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y && p.z >= lo.z && p.z <= hi.z;
}

Bounds WorldBounds(const GeoxMesh& mesh, const ModelTransform& transform)
{
    Bounds b;
    for (const GeoxVertex& v : mesh.vertices) {
        Point3 p = transform.Apply({v.x, v.z, v.y});
        b.lo = {std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z)};
        b.hi = {std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z)};
    }
    return b;
}

const std::string& GeneratedDataRoot()
{
    static const std::string root = [] {
        std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("lantern-datagen-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        const DataTree tree((folder / "Data").string());
        GenerateMeshes(tree);
        GenerateCameraPaths(tree);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(
                std::filesystem::temp_directory_path() / ("lantern-datagen-" + std::to_string(::getpid())), ignored);
        });
        return folder.string();
    }();
    LogEnabled = false;
    SetDataRoot(root);
    return root;
}
