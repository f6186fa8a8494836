// The camera flights of the scenes and the throat curve. Each flight is a smooth curve
// through a few shots (eye and point looked at, in world units; see README.md), sampled
// into evenly spaced keys. A scene evaluates its path only up to a fraction of it (0.4 for
// the water scenes, 0.88 for the landscapes ...): the shots are spread over that part and
// the keys beyond it hold the last shot. Evaluation passes key k at k/(n-2) and bends the
// last segment toward the zero slot past the file, so the flights keep their last segment
// out of the used part; only the throat curve is used to its end, and it ends at the origin,
// where that bend leads anyway.
#include "datagen/families.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

struct Point {
    float x, y, z;
};

struct Shot {
    Point eye, centre;
    float fov = 60;
};

// Catmull-Rom through the points, s in [0, 1] spread evenly over the segments.
Point CatmullRom(const std::vector<Point>& p, float s)
{
    const int segments = static_cast<int>(p.size()) - 1;
    if (segments <= 0) {
        return p.front();
    }
    float f = std::clamp(s, 0.0f, 1.0f) * segments;
    int i = std::min(static_cast<int>(f), segments - 1);
    float t = f - i;
    Point p0 = p[std::max(i - 1, 0)], p1 = p[i], p2 = p[i + 1], p3 = p[std::min(i + 2, segments)];
    auto blend = [t](float a, float b, float c, float d) {
        return 0.5f * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t * t + (-a + 3 * b - 3 * c + d) * t * t * t);
    };
    return {blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y), blend(p0.z, p1.z, p2.z, p3.z)};
}

// A flight through the shots over the used fraction of the path, written with `keys` keys
// after the placeholder record.
std::vector<CameraKey> Flight(const std::vector<Shot>& shots, float usedFraction, int keys = 48)
{
    std::vector<Point> eyes, centres;
    std::vector<float> fovs;
    for (const Shot& shot : shots) {
        eyes.push_back(shot.eye);
        centres.push_back(shot.centre);
        fovs.push_back(shot.fov);
    }
    std::vector<CameraKey> records{CameraKey{}};
    for (int k = 0; k < keys; ++k) {
        float x = static_cast<float>(k) / (keys - 1);
        float s = std::min(1.0f, x / usedFraction);
        Point eye = CatmullRom(eyes, s), centre = CatmullRom(centres, s);
        float f = s * (fovs.size() - 1);
        int i = std::min(static_cast<int>(f), static_cast<int>(fovs.size()) - 2);
        float fov = fovs.size() > 1 ? fovs[i] + (fovs[i + 1] - fovs[i]) * (f - i) : fovs[0];
        records.push_back({fov, eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0});
    }
    return records;
}

// An orbit about a vertical axis through `target`: angle, radius and height run linearly
// from the first to the second value, the look point rises from lookFrom to lookTo.
std::vector<Shot> Orbit(Point target, float angle0, float angle1, float radius0, float radius1, float height0,
                        float height1, float lookFrom, float lookTo, float fov, int shots = 9)
{
    std::vector<Shot> out;
    for (int i = 0; i < shots; ++i) {
        float t = static_cast<float>(i) / (shots - 1);
        float a = angle0 + (angle1 - angle0) * t, r = radius0 + (radius1 - radius0) * t;
        Point eye{target.x + r * std::sin(a), height0 + (height1 - height0) * t, target.z - r * std::cos(a)};
        out.push_back({eye, {target.x, lookFrom + (lookTo - lookFrom) * t, target.z}, fov});
    }
    return out;
}

void WriteFlight(const DataTree& tree, const std::string& name, const std::vector<CameraKey>& records)
{
    tree.Write(name, EncodeCamera(records));
}

// The curve the killthroat leaves flow along: out of the killer's throat (he stands at
// (-240, 0, -230) turned 210 degrees, facing (0.5, 0, 0.87), 180 tall), forward and up over
// the yard in a wide loop round to his right and back down to the ground at the middle of
// the yard, the origin. Ending at the origin matters: evaluation bends the last segment
// toward the zero slot past the file, which is then the end point itself. A leaf's place on
// the curve goes with the square of its phase, which would heap a tenth of the leaves in the
// first hundredth of the curve, at the throat; the keys are spread so that the curve covers
// its start quickly (distance along it about the 0.7th power of the fraction), and the
// leaves still speed up along it. Only the eye positions count.
std::vector<CameraKey> ThroatCurve()
{
    const std::vector<Point> through{{-236, 157, -223}, {-176, 180, -119}, {-60, 260, 70},   {140, 370, 280},
                                     {420, 420, 330},   {620, 340, 110},   {560, 230, -200}, {320, 130, -310},
                                     {120, 50, -170},   {0, 0, 0}};
    const int keys = 96;
    std::vector<CameraKey> records{CameraKey{}};
    for (int k = 0; k < keys; ++k) {
        // The keys crowd toward the end: the curve runs fast where the leaves are slow.
        Point p = CatmullRom(through, std::pow(static_cast<float>(k) / (keys - 1), 0.7f));
        records.push_back({60, p.x, p.y, p.z, p.x, p.y, p.z + 1, 0, 1, 0});
    }
    return records;
}

} // namespace

void GenerateCameraPaths(const DataTree& tree)
{
    // Landscapes: ground at -24, grass up to -11, trees 70 to 350 out, fog end 500.
    // Season: towards the window from the colour side, through its lower left pane (x -45..-2,
    // height -16..42) at about 0.4 of the span, on into the black-and-white world, then round
    // to look back at the window, which now shows the colour world. The pass through the
    // plane is quick: while the window fills the picture both worlds are drawn in full. The
    // flight keeps 20 units and more clear of the crowns of the season field's trees (placed
    // by the seed; nearest the path: (-83, 104) 48 wide each way, (-91, -149) 44, (-90, 187)
    // 41, (72, 219) 46, (78, 77) 35): flying through a crown fills the picture with
    // alpha-tested branch cards, three times over, for nothing the eye can follow. Past the
    // window it looks out over the open field with the crowns at its side, not into them.
    WriteFlight(tree, "season.camera",
                Flight({{{30, 8, -330}, {-10, 22, 0}, 60},
                        {{5, 10, -230}, {-18, 18, 0}, 60},
                        {{-16, 12, -140}, {-23, 14, 0}, 62},
                        {{-26, 13, 20}, {-28, 13, 200}, 64},
                        {{-15, 16, 100}, {-60, 26, 320}, 64},
                        {{-5, 24, 140}, {-100, 20, -60}, 62},
                        {{10, 32, 170}, {0, 22, 0}, 60},
                        {{0, 40, 210}, {0, 22, 0}, 60}},
                       0.88f));
    WriteFlight(tree, "baken.camera", Flight(Orbit({0, 0, 0}, 0.3f, 1.7f * Pi, 330, 240, 0, 110, 110, 150, 62), 0.88f));
    // Atom: far enough out that the whole pillar of embers and the ring it throws (out to
    // radius 970 by the end) stay in the picture and the embers stay small, and low, just
    // above the ground's height: out here past the edge of the ground plane, the ground is a
    // line at the horizon.
    WriteFlight(tree, "atom.camera", Flight(Orbit({0, 0, 0}, 0, Pi / 2, 1250, 1100, -18, -8, 240, 270, 58), 0.88f));
    WriteFlight(tree, "grass.camera",
                Flight({{{-250, -13, -100}, {-150, -8, -60}, 66},
                        {{-120, -12, -40}, {-20, -4, 0}, 66},
                        {{0, -9, 20}, {100, 0, 60}, 66},
                        {{130, -4, 60}, {230, 8, 100}, 66},
                        {{250, 6, 110}, {350, 20, 140}, 66}},
                       0.88f));
    WriteFlight(tree, "dead.camera",
                Flight({{{-30, -13, -150}, {0, -12, 0}, 50},
                        {{-5, -14, -95}, {0, -12, 0}, 50},
                        {{18, -15, -38}, {0, -12, 0}, 48}},
                       0.85f));
    // The swing: bar at 16.7, ground at 3, the girl faces -z.
    WriteFlight(tree, "giorl.camera", Flight(Orbit({0, 0, 0}, -0.45f, 0.4f, 38, 30, 9, 12, 10, 10, 55), 0.95f));

    // The yard: ground 0, walls x -2400..2400, z -2600..5000, 4500 high; poplar at z 1810.
    // Up from the yard toward the poplar's crown; the leaves fall from the crown toward the
    // camera (2150 nearer over their fall).
    WriteFlight(tree, "smallfall.camera",
                Flight({{{0, 250, -1400}, {0, 1500, 1200}, 70},
                        {{-150, 400, -1200}, {0, 1300, 1000}, 70},
                        {{-100, 600, -900}, {0, 900, 600}, 70}},
                       0.83f));
    // The far wall's sign from the yard: first wide, with the ground, the side walls and the
    // poplar's crown, then closing in past the poplar on its left.
    WriteFlight(tree, "sign.camera",
                Flight({{{-700, 300, 1200}, {0, 1000, 4960}, 60}, {{-380, 450, 2000}, {0, 1030, 4960}, 58}, {{-60, 600, 2800}, {0, 1050, 4960}, 55}},
                       0.9f));
    WriteFlight(tree, "cup.camera", Flight(Orbit({0, 0, -400}, 0, 1.5f * Pi, 750, 520, 2200, 1980, 1900, 1900, 60), 0.9f));
    WriteFlight(tree, "cuptwo.camera", Flight(Orbit({0, 0, -400}, Pi, -Pi / 2, 950, 620, 1500, 2000, 1850, 1900, 60), 0.8f));
    WriteFlight(tree, "waterfilled.camera",
                Flight({{{0, 300, -2300}, {0, 1100, 0}, 70}, {{-500, 600, -2100}, {0, 1100, 0}, 70}, {{-800, 900, -1800}, {0, 1100, 0}, 70}},
                       0.9f));
    // subself: the figure at the origin faces -z; its lamp post stands at (47, 0, -195), so the
    // flight stays left of the line from the post to the figure.
    WriteFlight(tree, "subself.camera",
                Flight({{{-220, 150, -260}, {0, 115, 0}, 60}, {{-90, 165, -320}, {0, 115, 0}, 60}, {{20, 180, -320}, {0, 115, 0}, 60}},
                       0.9f));
    // subbaken: the beacon has no ground here; from above its lantern house the flight looks
    // down past it through the open bottom of the sky dome, onto the blue of the clear colour.
    WriteFlight(tree, "subbaken.camera", Flight(Orbit({0, 0, 0}, 2.0f, 3.2f, 280, 300, 280, 380, 100, 140, 60), 0.9f));

    // The pond: water at 0 around (16, -16), the bank 2.5 up at radius 60.
    // waterover looks down at least 35 degrees so the letterboxed frame stays on the ground;
    // waterunder circles under the floating leaves, looking up at them and the sky plane at 30
    // steeply enough (46 to 56 degrees) that the letterboxed frame holds nothing but the
    // surface seen from below.
    WriteFlight(tree, "waterover.camera",
                Flight({{{-22, 40, -58}, {16, 0, -16}, 60}, {{-6, 36, -56}, {18, 0, -14}, 60}, {{10, 34, -50}, {20, 0, -10}, 60}},
                       0.4f));
    WriteFlight(tree, "waterunder.camera", Flight(Orbit({16, 0, -16}, -0.3f, 0.5f, 13, 10, -9.5f, -9, 4, 6, 75), 0.4f));

    // The stair stands alone: post from -100 to 300, treads out to 92.
    // The camera climbs round the stair close enough for the small leaves to keep their
    // shapes, the light sphere (glowing 210 around (0, 300, 0)) shining in from the top edge:
    // each of its 36 additive planes fills only the part of the frame the glow covers.
    WriteFlight(tree, "stair.camera", Flight(Orbit({0, 0, 0}, 0, 1.5f * Pi, 430, 360, -30, 90, 50, 110, 60), 0.95f));
    // The sphere: radius 8.5, leaves out to 100.
    // Closer and closer, from beyond the cloud to just inside its edge: outside the light
    // sphere's glow (radius 30), whose ten additive planes would otherwise each fill the whole
    // frame, and far enough that the nearest leaves stay small (their fill decided the frame's
    // time when the flight went in to 58).
    WriteFlight(tree, "sphere1.camera", Flight(Orbit({0, 0, 0}, 0, 0.9f, 150, 90, 10, -8, 0, 0, 60), 0.83f));

    // Kill scenes: the killer at (-240, 0, -230) facing (0.5, 0, 0.87), the dead figure at
    // (-100, 0, 300), the impact at the origin, the killself figure at the origin facing +z
    // with its lantern at (-47, 258, 195).
    WriteFlight(tree, "killme1.camera",
                Flight({{{250, 140, -650}, {-170, 100, 0}, 60},
                        {{450, 220, 100}, {-150, 60, 60}, 60},
                        {{250, 320, 800}, {-150, 40, 150}, 60},
                        {{-500, 260, 850}, {-170, 40, 100}, 60}},
                       0.95f));
    // Both falls: the figure drops from 4000 into the middle of the yard at p = 0.0625, where
    // the path is one shot along (at 1.3 p the first path has nine shots over 0.65, at 1.9 p
    // the second nine over 0.95), so the first shot looks up the fall line and the second has
    // come down to the impact. Then the first rises above the burst, higher than its leaves
    // fly (610), and turns slowly about it.
    WriteFlight(tree, "killfall1.camera",
                Flight({{{-550, 80, -650}, {0, 2600, 0}, 75},
                        {{-650, 160, -760}, {0, 150, 0}, 70},
                        {{-820, 620, -980}, {0, 100, 0}, 64},
                        {{-640, 760, -1100}, {0, 80, 0}, 60},
                        {{-420, 800, -1150}, {0, 70, 0}, 58},
                        {{-180, 820, -1170}, {0, 60, 0}, 56},
                        {{60, 830, -1150}, {0, 50, 0}, 56},
                        {{290, 830, -1080}, {0, 40, 0}, 56},
                        {{500, 830, -980}, {0, 30, 0}, 56}},
                       0.65f));
    // The second fall seen from the ground beside the impact, looking straight up the fall
    // line; then from above the burst, higher than its leaves fly (610), closing on the
    // figure lying amid the settling leaves.
    WriteFlight(tree, "killfall2.camera",
                Flight({{{350, 30, 420}, {0, 2800, 0}, 75},
                        {{520, 140, 600}, {0, 80, 0}, 70},
                        {{900, 720, 820}, {0, 50, 0}, 62},
                        {{860, 840, 420}, {0, 30, 0}, 56},
                        {{680, 860, 60}, {0, 20, 0}, 52},
                        {{500, 840, -220}, {0, 15, 0}, 50},
                        {{340, 820, -380}, {0, 15, 0}, 48},
                        {{200, 800, -460}, {0, 15, 0}, 46},
                        {{70, 790, -490}, {0, 15, 0}, 46}},
                       0.95f));
    WriteFlight(tree, "killself1.camera",
                Flight({{{150, 170, 520}, {0, 130, 60}, 60}, {{260, 200, 500}, {80, 140, 80}, 60}, {{350, 220, 450}, {150, 150, 100}, 60}},
                       0.925f));
    WriteFlight(tree, "killself2.camera",
                Flight({{{-450, 60, 300}, {50, 150, 100}, 62}, {{-420, 180, 480}, {50, 150, 100}, 62}, {{-350, 300, 650}, {50, 150, 100}, 62}},
                       0.925f));
    // The killer from behind his left shoulder, a light silhouette against the dark ground,
    // and the loop of the throat stream beyond him.
    WriteFlight(tree, "killthroat.camera",
                Flight({{{-770, 430, 680}, {40, 170, -20}, 62}, {{-910, 480, 270}, {40, 170, -20}, 62}, {{-860, 520, -170}, {40, 170, -20}, 62}},
                       0.88f));
    WriteFlight(tree, "throat.path", ThroatCurve());
}
