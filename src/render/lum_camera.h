// lum_camera: the camera record, key-frame paths and their ".camera" files, the
// interpolation that turns a path and a fraction into a camera, the hand-over to OpenGL,
// and the moves of the free-fly debug keys. Depends on lum_spline, platform/files.h and GL.
//
// Paths are used one-based: AppendCameraKey fills slots 1, 2, 3 ...; a ".camera" file holds
// slots 0 .. count-1, so its first record is a placeholder, and evaluation reads slots 1 to
// count (slot count only as the end tangent of the last segment).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct CameraRecord {
    float fov;                       // vertical field of view, degrees
    float eyeX, eyeY, eyeZ;          // where the viewer stands
    float centerX, centerY, centerZ; // the point looked at
    float upX, upY, upZ;             // up vector, not normalised
};
static_assert(sizeof(CameraRecord) == 40, "a camera record is ten packed floats, as in the file");

// The ten fields in record (and file) order.
inline constexpr float CameraRecord::*CameraFields[10] = {
    &CameraRecord::fov,     &CameraRecord::eyeX,    &CameraRecord::eyeY, &CameraRecord::eyeZ,
    &CameraRecord::centerX, &CameraRecord::centerY, &CameraRecord::centerZ,
    &CameraRecord::upX,     &CameraRecord::upY,     &CameraRecord::upZ};

constexpr int PathSlotCount = 100;
// Evaluation reads one slot past the last key, so a path holds at most 99 records.
constexpr int MaxPathRecords = PathSlotCount - 1;

struct CameraPath {
    int32_t count;
    CameraRecord keys[PathSlotCount];
};
static_assert(sizeof(CameraPath) == 4004, "a path is a count and 100 slots");

// count := 0; the slots keep what they hold.
void ClearCameraPath(CameraPath& path);
// Adds one to count and stores the camera in slot count. A path that already holds
// MaxPathRecords records refuses the key: false, nothing changed.
bool AppendCameraKey(const CameraRecord& camera, CameraPath& path);
// Writes slots 0 .. count-1 to the file, made anew (FatalError naming it on failure).
void SaveCameraPath(const CameraPath& path, std::string_view fileName);
// The most keys a recording may hold: its file (placeholder and keys) must load back.
constexpr int MaxRecordedKeys = MaxPathRecords - 1;
// Writes a path built by appending as a file that loads back through every key: slot 0 (the
// placeholder) and slots 1 .. count, made anew, whole or not at all (FatalError naming the
// file on failure). A count beyond MaxRecordedKeys is a FatalError and writes nothing.
void SaveRecordedCameraPath(const CameraPath& path, std::string_view fileName);
// What a file's records are read for: whole cameras, or (the throat path of the killthroat
// scene) only their eye positions, as the points of a curve.
enum class CameraFileUse { Camera, EyePath };

// count := file size div 40, records read into slots 0 .. count-1; trailing bytes are
// ignored. A FatalError naming the file, and the path left as it was, for a file that cannot
// be read, holds more than MaxPathRecords records or fewer than two (no key), or has a key
// record (1 .. count-1; record 0 is the placeholder) with a field that is not finite, a
// coordinate beyond 1e7 in magnitude, a field of view outside 0 to 180 degrees, a zero up
// vector or its eye at its centre; the error names the record. For an EyePath only the eye positions are read, so only they are checked.
void LoadCameraPath(CameraPath& path, std::string_view fileName, CameraFileUse use = CameraFileUse::Camera);
// The same on the bytes of a file already in memory; `fileName` is the file named in errors.
void ParseCameraPath(CameraPath& path, const uint8_t* data, size_t size, std::string_view fileName,
                     CameraFileUse use = CameraFileUse::Camera);

// The path's camera at fraction x of its length. Fewer than 4 records give slot 1 as it is;
// otherwise the n-2 segments share [0, 1) equally and x = k/(n-2) lands on slot k+1.
// Outside [0, 1) (NaN included) the first or last segment is extended; no slot beyond the
// path's storage is ever read.
void EvaluateCameraPath(CameraRecord& out, const CameraPath& path, float x);

// One path evaluated many times in a frame: its segment count and length are worked out
// once, and a curve whose keys only count for their eye positions can be evaluated in those
// three fields alone. Every result equals EvaluateCameraPath's, bit for bit. Holds a
// reference to the path, which must outlive it.
class PathSegments {
public:
    explicit PathSegments(const CameraPath& path);
    // EvaluateCameraPath(out, path, x).
    void Evaluate(CameraRecord& out, float x) const;
    // The eye (x, y, z) of EvaluateCameraPath(path, x); the other seven fields are not computed.
    void EvaluateEye(float x, float (&eye)[3]) const;

private:
    // Where x falls: the first of the segment's three keys and the position t inside it, or
    // the one fixed key of a path with fewer than 4 records.
    struct Spot {
        const CameraRecord* keys;
        float t;
        bool fixed;
    };
    Spot Locate(float x) const;

    const CameraPath& m_path;
    int m_segments = 0; // 0: fewer than 4 records, slot 1 as it is
    float m_step = 0;
};

// Sets eye, centre and up; fov stays.
void SetCameraPosition(CameraRecord& camera, float eyeX, float eyeY, float eyeZ, float centerX,
                       float centerY, float centerZ, float upX, float upY, float upZ);

// Projection: perspective with the camera's fov, aspect 1.33333333333, near 0.1, far 99999.
// Modelview: look-at of the camera. The viewport is left alone; GL_MODELVIEW stays selected.
void ApplyCamera(const CameraRecord& camera);

// The debug moves. v is the eye-to-centre vector, taken once at the start of each move.
// Eye and centre move vertically by d.
void RiseCamera(CameraRecord& camera, float d);
// Eye and centre move by s times the horizontal part of v (not normalised).
void MoveCamera(CameraRecord& camera, float s);
// Eye and centre move by s times the horizontal part of up x v (not normalised).
void StrafeCamera(CameraRecord& camera, float s);
// The centre turns about the eye: about X by ax, Y by ay, Z by az (radians), each turn made
// only for a non-zero angle and each from the original v.
void RotateCamera(CameraRecord& camera, float ax, float ay, float az);
