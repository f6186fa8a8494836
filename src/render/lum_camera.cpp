// lum_camera: camera records, paths, ".camera" files, evaluation, ApplyCamera and the moves.
#include "render/lum_camera.h"

#include "base/byte_order.h"
#include "base/error.h"
#include "base/files.h"
#include "gl/gl.h"
#include "render/lum_spline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr long kRecordBytes = sizeof(CameraRecord);

// The eye-to-centre vector, in extended precision like the rest of the move arithmetic.
struct ViewVector {
    long double x, y, z;
};

ViewVector ViewOf(const CameraRecord& camera)
{
    return {static_cast<long double>(camera.centerX) - camera.eyeX,
            static_cast<long double>(camera.centerY) - camera.eyeY,
            static_cast<long double>(camera.centerZ) - camera.eyeZ};
}

// No camera of the piece comes near this; a coordinate beyond it is damage, and would make
// the projection fall apart.
constexpr float kMaxCameraCoordinate = 1e7f;

constexpr const char* kFieldNames[10] = {"fov",     "eyeX",    "eyeY",    "eyeZ", "centerX",
                                         "centerY", "centerZ", "upX",     "upY",  "upZ"};

// What is wrong with the fields of a key record that the use reads, or "" when nothing is.
// Every field must be finite and every coordinate within 1e7; a camera also needs a field of
// view between 0 and 180 degrees, an up vector and an eye apart from its centre, or there is
// no projection or no direction to look in.
std::string KeyFault(const CameraRecord& key, CameraFileUse use)
{
    const int first = use == CameraFileUse::EyePath ? 1 : 0;
    const int last = use == CameraFileUse::EyePath ? 3 : 9;
    for (int f = first; f <= last; ++f) {
        const float value = key.*CameraFields[f];
        if (!std::isfinite(value))
            return StrFormat("has a non-finite %s (%g)", kFieldNames[f], static_cast<double>(value));
        if (f > 0 && std::fabs(value) > kMaxCameraCoordinate)
            return StrFormat("has %s = %g, beyond the bound of 1e7", kFieldNames[f], static_cast<double>(value));
    }
    if (use == CameraFileUse::EyePath) return {};
    // gluPerspective makes no projection of a field of view outside this, and one near the
    // float limit would make the interpolation between keys overflow.
    if (!(key.fov > 0 && key.fov < 180))
        return StrFormat("has fov = %g, outside 0 to 180 degrees", static_cast<double>(key.fov));
    if (key.upX == 0 && key.upY == 0 && key.upZ == 0) return "has a zero up vector";
    if (key.eyeX == key.centerX && key.eyeY == key.centerY && key.eyeZ == key.centerZ)
        return StrFormat("has its eye at its centre (%g, %g, %g)", static_cast<double>(key.eyeX),
                         static_cast<double>(key.eyeY), static_cast<double>(key.eyeZ));
    return {};
}

// base + direction * s, rounded to float once.
float Shifted(float base, long double direction, float s)
{
    return static_cast<float>(base + direction * s);
}

// Slots 0 .. records-1 to the file, through the whole-or-nothing writer.
void WriteCameraRecords(const CameraPath& path, int records, std::string_view fileName)
{
    unsigned char bytes[PathSlotCount * kRecordBytes];
    for (int k = 0; k < records; ++k)
        for (int f = 0; f < 10; ++f)
            StoreFloatLE(path.keys[k].*CameraFields[f], bytes + k * kRecordBytes + 4 * f);

    WriteFileBytes(std::string(fileName), bytes, static_cast<size_t>(records) * kRecordBytes);
}

} // namespace

void ClearCameraPath(CameraPath& path)
{
    path.count = 0;
}

bool AppendCameraKey(const CameraRecord& camera, CameraPath& path)
{
    if (path.count < 0 || path.count >= MaxPathRecords) return false;
    ++path.count;
    path.keys[path.count] = camera;
    return true;
}

void SaveCameraPath(const CameraPath& path, std::string_view fileName)
{
    WriteCameraRecords(path, std::clamp(path.count, 0, PathSlotCount), fileName);
}

void SaveRecordedCameraPath(const CameraPath& path, std::string_view fileName)
{
    if (path.count < 0 || path.count > MaxRecordedKeys)
        ThrowFileError(fileName, StrFormat("%d recorded keys, a file that loads back holds at most %d",
                                           path.count, MaxRecordedKeys));
    WriteCameraRecords(path, path.count + 1, fileName);
}

void ParseCameraPath(CameraPath& path, const uint8_t* data, size_t size, std::string_view fileName,
                     CameraFileUse use)
{
    const size_t records = size / kRecordBytes;
    if (records > static_cast<size_t>(MaxPathRecords))
        ThrowFileError(fileName, StrFormat("%zu camera records, a path holds at most %d", records, MaxPathRecords));
    if (records < 2)
        ThrowFileError(fileName, StrFormat("%zu camera record%s; a path needs the placeholder record and at least one key",
                                           records, records == 1 ? "" : "s"));
    // Everything is read and checked before the path is touched, so a refused file leaves no
    // half-read path.
    CameraRecord read[MaxPathRecords];
    for (size_t k = 0; k < records; ++k)
        for (int f = 0; f < 10; ++f) read[k].*CameraFields[f] = ReadFloatLE(data + k * kRecordBytes + 4 * f);
    // Record 0 is the placeholder, never evaluated.
    for (size_t k = 1; k < records; ++k) {
        const std::string fault = KeyFault(read[k], use);
        if (!fault.empty()) ThrowFileError(fileName, StrFormat("record %zu %s", k, fault.c_str()));
    }
    std::copy(read, read + records, path.keys);
    path.count = static_cast<int32_t>(records);
}

void LoadCameraPath(CameraPath& path, std::string_view fileName, CameraFileUse use)
{
    FilePtr file = OpenForReading(fileName);
    const long records = FileSize(file.get(), fileName) / kRecordBytes;
    if (records > MaxPathRecords)
        ThrowFileError(fileName, StrFormat("%ld camera records, a path holds at most %d", records,
                                           MaxPathRecords));
    unsigned char bytes[MaxPathRecords * kRecordBytes];
    const size_t size = static_cast<size_t>(records * kRecordBytes);
    if (std::fread(bytes, 1, size, file.get()) != size) ThrowFileError(fileName, "read error");
    ParseCameraPath(path, bytes, size, fileName, use);
}

PathSegments::PathSegments(const CameraPath& path) : m_path(path)
{
    // A count beyond the storage can only come from a path filled by hand; the last
    // segment then ends at the last slot.
    const int n = std::min(path.count, MaxPathRecords);
    m_segments = n < 4 ? 0 : n - 2;
    m_step = m_segments > 0 ? 1.0f / static_cast<float>(m_segments) : 0.0f;
}

PathSegments::Spot PathSegments::Locate(float x) const
{
    if (m_segments == 0) return {&m_path.keys[1], 0.0f, true};
    // The product is exact in double, so truncation cannot round a fraction just below a
    // segment edge up into the next segment. Outside [0, 1), NaN included, the index is
    // held to the first or the last segment, which then extrapolates.
    const double position = static_cast<double>(m_segments) * x;
    int i;
    if (!(position >= 0.0))
        i = 1;
    else if (position >= m_segments)
        i = m_segments;
    else
        i = static_cast<int>(position) + 1;
    const float t = static_cast<float>((static_cast<long double>(x) -
                                        static_cast<long double>(i - 1) * m_step) / m_step);
    return {&m_path.keys[i], t, false};
}

void PathSegments::Evaluate(CameraRecord& out, float x) const
{
    const Spot spot = Locate(x);
    if (spot.fixed) {
        out = *spot.keys;
        return;
    }
    for (float CameraRecord::*field : CameraFields)
        out.*field = HermiteValue(spot.t, spot.keys[0].*field, spot.keys[1].*field, spot.keys[2].*field);
}

void PathSegments::EvaluateEye(float x, float (&eye)[3]) const
{
    const Spot spot = Locate(x);
    if (spot.fixed) {
        eye[0] = spot.keys->eyeX;
        eye[1] = spot.keys->eyeY;
        eye[2] = spot.keys->eyeZ;
        return;
    }
    const CameraRecord* k = spot.keys;
    eye[0] = HermiteValue(spot.t, k[0].eyeX, k[1].eyeX, k[2].eyeX);
    eye[1] = HermiteValue(spot.t, k[0].eyeY, k[1].eyeY, k[2].eyeY);
    eye[2] = HermiteValue(spot.t, k[0].eyeZ, k[1].eyeZ, k[2].eyeZ);
}

void EvaluateCameraPath(CameraRecord& out, const CameraPath& path, float x)
{
    PathSegments(path).Evaluate(out, x);
}

void SetCameraPosition(CameraRecord& camera, float eyeX, float eyeY, float eyeZ, float centerX,
                       float centerY, float centerZ, float upX, float upY, float upZ)
{
    camera.eyeX = eyeX;
    camera.eyeY = eyeY;
    camera.eyeZ = eyeZ;
    camera.centerX = centerX;
    camera.centerY = centerY;
    camera.centerZ = centerZ;
    camera.upX = upX;
    camera.upY = upY;
    camera.upZ = upZ;
}

void ApplyCamera(const CameraRecord& camera)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(camera.fov, 1.33333333333, 0.1, 99999.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(camera.eyeX, camera.eyeY, camera.eyeZ, camera.centerX, camera.centerY, camera.centerZ,
              camera.upX, camera.upY, camera.upZ);
}

void RiseCamera(CameraRecord& camera, float d)
{
    camera.eyeY += d;
    camera.centerY += d;
}

void MoveCamera(CameraRecord& camera, float s)
{
    const ViewVector v = ViewOf(camera);
    camera.eyeX = Shifted(camera.eyeX, v.x, s);
    camera.eyeZ = Shifted(camera.eyeZ, v.z, s);
    camera.centerX = Shifted(camera.centerX, v.x, s);
    camera.centerZ = Shifted(camera.centerZ, v.z, s);
}

void StrafeCamera(CameraRecord& camera, float s)
{
    const ViewVector v = ViewOf(camera);
    const long double sideX = camera.upY * v.z - camera.upZ * v.y;
    const long double sideZ = camera.upX * v.y - camera.upY * v.x;
    camera.eyeX = Shifted(camera.eyeX, sideX, s);
    camera.eyeZ = Shifted(camera.eyeZ, sideZ, s);
    camera.centerX = Shifted(camera.centerX, sideX, s);
    camera.centerZ = Shifted(camera.centerZ, sideZ, s);
}

void RotateCamera(CameraRecord& camera, float ax, float ay, float az)
{
    const ViewVector v = ViewOf(camera);
    if (ax != 0.0f) {
        const long double s = std::sin(static_cast<long double>(ax));
        const long double c = std::cos(static_cast<long double>(ax));
        camera.centerZ = static_cast<float>(camera.eyeZ + s * v.y + c * v.z);
        camera.centerY = static_cast<float>(camera.eyeY + c * v.y - s * v.z);
    }
    if (ay != 0.0f) {
        const long double s = std::sin(static_cast<long double>(ay));
        const long double c = std::cos(static_cast<long double>(ay));
        camera.centerZ = static_cast<float>(camera.eyeZ + s * v.x + c * v.z);
        camera.centerX = static_cast<float>(camera.eyeX + c * v.x - s * v.z);
    }
    if (az != 0.0f) {
        const long double s = std::sin(static_cast<long double>(az));
        const long double c = std::cos(static_cast<long double>(az));
        camera.centerX = static_cast<float>(camera.eyeX + s * v.y + c * v.x);
        camera.centerY = static_cast<float>(camera.eyeY + c * v.y - s * v.x);
    }
}
