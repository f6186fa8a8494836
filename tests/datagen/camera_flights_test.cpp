// The generated camera flights, read and evaluated by the program's own camera code: every
// scene's file is there and fits a path, and at fractions across the part of the path its
// scene evaluates, the scene's content lies inside the letterboxed picture, in front of an
// eye that stays inside the scene's world.
#include "mesh_scene_space.h"

#include "base/files.h"
#include "render/lum_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct Flight {
    const char* file;
    float lastFraction;            // the largest fraction the scene evaluates
    std::vector<Point3> content;   // must be in the picture at every sampled fraction
    Point3 worldLo, worldHi;       // the eye stays inside
    float contentUntil = 1;        // the content is checked up to this fraction
    float contentFrom = 0;         // and from this one
};

// Landscape: the sky dome has radius 500 and the ground lies at -24. Yard: ground 0,
// walls at x +-2400 and z -2600..5000, 4500 high.
const Point3 DomeLo{-450, -22, -450}, DomeHi{450, 450, 450};
const Point3 YardLo{-2350, 20, -2550}, YardHi{2350, 4400, 4950};

const std::vector<Flight>& Flights()
{
    static const std::vector<Flight> flights = {
        {"data\\season.camera", 0.88f, {{0, 25, 0}}, DomeLo, DomeHi, 0.2f}, // the window, until the camera nears it
        {"data\\baken.camera", 0.88f, {{0, 120, 0}}, DomeLo, DomeHi},
        {"data\\atom.camera", 0.88f, {{0, 150, 0}}, {-1400, -22, -1400}, {1400, 1400, 1400}},
        {"data\\grass.camera", 0.88f, {}, {-400, -22, -400}, {400, 10, 400}},
        {"data\\dead.camera", 0.85f, {{0, -15, 0}}, DomeLo, DomeHi},
        {"data\\giorl.camera", 0.95f, {{0, 10, 0}}, {-60, 4, -60}, {60, 60, 60}},
        {"data\\smallfall.camera", 0.83f, {{0, 2500, 1810}}, YardLo, YardHi},
        {"data\\sign.camera", 0.9f, {{0, 1050, 4960}}, YardLo, YardHi},
        {"data\\cup.camera", 0.9f, {{0, 1900, -400}}, YardLo, YardHi},
        {"data\\cuptwo.camera", 0.8f, {{0, 1900, -400}}, YardLo, YardHi},
        {"data\\waterfilled.camera", 0.9f, {{0, 1100, 0}}, YardLo, YardHi},
        {"data\\subself.camera", 0.9f, {{0, 100, 0}}, YardLo, YardHi},
        {"data\\subbaken.camera", 0.9f, {{0, 120, 0}}, DomeLo, DomeHi},
        {"data\\waterover.camera", 0.4f, {{16, 0, -16}}, {-100, 3, -100}, {130, 100, 100}},
        {"data\\waterunder.camera", 0.4f, {{16, 0.2f, -16}}, {-40, -10, -80}, {70, -1, 50}},
        {"data\\stair.camera", 0.95f, {{0, 100, 0}}, {-700, -200, -700}, {700, 600, 700}},
        {"data\\sphere1.camera", 0.83f, {{0, 0, 0}}, {-150, -150, -150}, {150, 150, 150}},
        {"data\\killme1.camera", 0.95f, {{-240, 100, -230}, {-100, 20, 300}}, YardLo, YardHi},
        // The impact point from the landing on (p = 0.0625 at 1.3 p and 1.9 p); before it the
        // cameras follow the fall (KillfallSeesTheFigureFallAndLand).
        {"data\\killfall1.camera", 0.65f, {{0, 10, 0}}, YardLo, YardHi, 1, 1.3f * 0.0625f},
        {"data\\killfall2.camera", 0.95f, {{0, 10, 0}}, YardLo, YardHi, 1, 1.9f * 0.0625f},
        {"data\\killself1.camera", 0.925f, {{0, 100, 0}, {-47.2f, 258, 195.2f}}, YardLo, YardHi},
        {"data\\killself2.camera", 0.925f, {{0, 100, 0}, {-47.2f, 258, 195.2f}}, YardLo, YardHi},
        {"data\\killthroat.camera", 0.88f, {{-240, 100, -230}}, YardLo, YardHi},
    };
    return flights;
}

// Where a point lands in the picture: x and y in [-1, 1] over the frame, depth along the
// view; the aspect and the letterbox (60 of 480 rows at top and bottom) are the piece's.
struct Projected {
    double x, y, depth;
};
Projected Project(const CameraRecord& c, Point3 p)
{
    double fx = c.centerX - c.eyeX, fy = c.centerY - c.eyeY, fz = c.centerZ - c.eyeZ;
    double fl = std::sqrt(fx * fx + fy * fy + fz * fz);
    fx /= fl, fy /= fl, fz /= fl;
    double sx = fy * c.upZ - fz * c.upY, sy = fz * c.upX - fx * c.upZ, sz = fx * c.upY - fy * c.upX;
    double sl = std::sqrt(sx * sx + sy * sy + sz * sz);
    sx /= sl, sy /= sl, sz /= sl;
    double ux = sy * fz - sz * fy, uy = sz * fx - sx * fz, uz = sx * fy - sy * fx;
    double qx = p.x - c.eyeX, qy = p.y - c.eyeY, qz = p.z - c.eyeZ;
    double depth = qx * fx + qy * fy + qz * fz;
    double t = std::tan(c.fov * 3.14159265358979 / 360);
    return {(qx * sx + qy * sy + qz * sz) / (depth * t * 1.33333333333), (qx * ux + qy * uy + qz * uz) / (depth * t),
            depth};
}

bool Inside(Point3 p, Point3 lo, Point3 hi)
{
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y && p.z >= lo.z && p.z <= hi.z;
}

std::unique_ptr<CameraPath> Load(const char* file)
{
    auto path = std::make_unique<CameraPath>();
    *path = CameraPath{};
    LoadCameraPath(*path, file);
    return path;
}

class CameraFlights : public ::testing::Test {
protected:
    void SetUp() override { GeneratedDataRoot(); }
};

TEST_F(CameraFlights, EveryFlightFramesItsSceneOverTheFractionsItsSceneUses)
{
    for (const Flight& flight : Flights()) {
        auto path = Load(flight.file);
        ASSERT_GE(path->count, 4) << flight.file;
        ASSERT_LE(path->count, MaxPathRecords) << flight.file;
        for (int i = 0; i <= 20; ++i) {
            float x = flight.lastFraction * i / 20 * 0.999f;
            CameraRecord camera;
            EvaluateCameraPath(camera, *path, x);
            Point3 eye{camera.eyeX, camera.eyeY, camera.eyeZ};
            EXPECT_TRUE(Inside(eye, flight.worldLo, flight.worldHi))
                << flight.file << " at " << x << ": eye " << eye.x << " " << eye.y << " " << eye.z;
            EXPECT_GT(camera.fov, 30) << flight.file;
            EXPECT_LT(camera.fov, 90) << flight.file;
            const bool checked = x <= flight.contentUntil && x >= flight.contentFrom;
            for (Point3 p : checked ? flight.content : std::vector<Point3>{}) {
                Projected q = Project(camera, p);
                EXPECT_TRUE(q.depth > 1 && std::fabs(q.x) < 1 && std::fabs(q.y) < 0.75)
                    << flight.file << " at " << x << ": (" << p.x << ", " << p.y << ", " << p.z << ") lands at "
                    << q.x << ", " << q.y << ", depth " << q.depth;
            }
        }
    }
}

// The season camera flies through a pane of the window (opening x -45..45 and height
// -16..74, cross bars at x 0 and height 42..46) where the two worlds swap, and comes back
// round to look at it.
TEST_F(CameraFlights, SeasonFlightPassesThroughTheWindow)
{
    auto path = Load("data\\season.camera");
    CameraRecord before, after;
    EvaluateCameraPath(before, *path, 0);
    ASSERT_LT(before.eyeZ, 0);
    int crossings = 0;
    for (int i = 1; i <= 880; ++i) {
        EvaluateCameraPath(after, *path, i / 1000.0f);
        if ((before.eyeZ < 0) != (after.eyeZ < 0)) {
            ++crossings;
            float t = before.eyeZ / (before.eyeZ - after.eyeZ);
            float x = before.eyeX + (after.eyeX - before.eyeX) * t, y = before.eyeY + (after.eyeY - before.eyeY) * t;
            EXPECT_TRUE(x > -43 && x < -4 && y > -14 && y < 40) << "crosses the window plane at " << x << ", " << y;
        }
        before = after;
    }
    EXPECT_EQ(crossings, 1);
    Projected window = Project(before, {0, 25, 0});
    EXPECT_TRUE(window.depth > 1 && std::fabs(window.x) < 1 && std::fabs(window.y) < 0.75);
}

// Both killfall flights (the first at 1.3 p, the second at 1.9 (p - 0.5)) keep the dead
// figure in the picture while it falls from 4000 to the ground, which it reaches at
// p = 0.0625 of each half.
TEST_F(CameraFlights, KillfallSeesTheFigureFallAndLand)
{
    auto first = Load("data\\killfall1.camera");
    auto second = Load("data\\killfall2.camera");
    for (float p : {0.0f, 0.01f, 0.02f, 0.03f, 0.04f, 0.05f, 0.06f, 0.0625f}) {
        const float height = (1 - p / 0.0625f) * 4000;
        for (auto [path, factor] : {std::pair{first.get(), 1.3f}, std::pair{second.get(), 1.9f}}) {
            CameraRecord camera;
            EvaluateCameraPath(camera, *path, factor * p);
            Projected q = Project(camera, {0, height + 30, 0});
            EXPECT_TRUE(q.depth > 1 && std::fabs(q.x) < 1 && std::fabs(q.y) < 0.75)
                << "figure at " << height << " lands at " << q.x << ", " << q.y << " (factor " << factor << ")";
        }
    }
}

// The throat curve starts at the killer's throat (180 tall, standing at (-240, 0, -230))
// and ends on the ground, without the bend toward the origin that a zero slot past the
// last record puts into the last segment being large.
TEST_F(CameraFlights, ThroatCurveRunsFromTheThroatToTheGround)
{
    auto path = Load("data\\throat.path");
    ASSERT_GE(path->count, 4);
    ASSERT_LE(path->count, MaxPathRecords);
    CameraRecord start, previous, point;
    EvaluateCameraPath(start, *path, 0);
    EXPECT_NEAR(start.eyeX, -240, 15);
    EXPECT_NEAR(start.eyeZ, -230, 15);
    EXPECT_GT(start.eyeY, 130);
    EXPECT_LT(start.eyeY, 180);
    previous = start;
    for (int i = 1; i < 1000; ++i) {
        EvaluateCameraPath(point, *path, i / 1000.0f);
        double step = std::hypot(point.eyeX - previous.eyeX, point.eyeY - previous.eyeY, point.eyeZ - previous.eyeZ);
        EXPECT_LT(step, 5) << "jump at " << i / 1000.0f;
        previous = point;
    }
    EXPECT_LT(point.eyeY, 20);
    EXPECT_GT(point.eyeY, -10);
}

} // namespace
