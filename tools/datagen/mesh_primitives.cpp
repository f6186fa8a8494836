// The shared mesh primitives: builder, placements, boxes, tubes, lathes, grids, extrusions,
// crossed cards, leaf outlines and posed human figures. Everything is built in drawn
// coordinates (y up) and turned into file order (z up) by MeshBuilder::ToFile.
#include "datagen/mesh_primitives.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// Two unit vectors perpendicular to `axis` and to each other; the first as close to
// `preferred` as the axis allows.
void PerpendicularFrame(Vec3 axis, Vec3 preferred, Vec3& first, Vec3& second)
{
    Vec3 d = Normalized(axis);
    Vec3 p = preferred - d * Dot(preferred, d);
    if (Length(p) < 1e-4f) {
        Vec3 fallback = std::fabs(d.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 0, 1};
        p = fallback - d * Dot(fallback, d);
    }
    first = Normalized(p);
    second = Cross(d, first);
}

// A lathe about an arbitrary axis: profile (radius, distance along the axis from centre),
// swept from angle `from` to `to` (radians from `side` toward axis x side).
void LatheAlong(MeshBuilder& mesh, Vec3 centre, Vec3 axis, Vec3 side, const std::vector<Vec2>& profile,
                int sides, UvRect uv, float uTurns, float flatten, float from = 0, float to = 2 * Pi)
{
    Vec3 e1, e2;
    PerpendicularFrame(axis, side, e1, e2);
    Vec3 d = Normalized(axis);
    const int rings = static_cast<int>(profile.size());
    std::vector<float> along(rings, 0.0f);
    for (int r = 1; r < rings; ++r) {
        along[r] = along[r - 1] + std::hypot(profile[r].x - profile[r - 1].x, profile[r].y - profile[r - 1].y);
    }
    const float total = along.back() > 0 ? along.back() : 1.0f;
    std::vector<int> index(rings * (sides + 1));
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s <= sides; ++s) {
            float a = from + (to - from) * s / sides;
            Vec3 p = centre + d * profile[r].y + e1 * (std::cos(a) * profile[r].x)
                     + e2 * (std::sin(a) * profile[r].x * flatten);
            index[r * (sides + 1) + s] = mesh.Vertex(p, uv.U(uTurns * s / sides), uv.V(1 - along[r] / total));
        }
    }
    for (int r = 0; r + 1 < rings; ++r) {
        for (int s = 0; s < sides; ++s) {
            int a = index[r * (sides + 1) + s], b = index[r * (sides + 1) + s + 1];
            int c = index[(r + 1) * (sides + 1) + s + 1], e = index[(r + 1) * (sides + 1) + s];
            // Rings of radius 0 would give zero-area triangles: keep only the live half.
            if (profile[r].x == 0) {
                mesh.Triangle(a, c, e);
            } else if (profile[r + 1].x == 0) {
                mesh.Triangle(a, b, c);
            } else {
                mesh.Quad(a, b, c, e);
            }
        }
    }
}

} // namespace

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalized(Vec3 a)
{
    float l = Length(a);
    return l > 0 ? a * (1.0f / l) : a;
}

Vec3 Affine::Apply(Vec3 p) const
{
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + t.x, m[3] * p.x + m[4] * p.y + m[5] * p.z + t.y,
            m[6] * p.x + m[7] * p.y + m[8] * p.z + t.z};
}

Affine Affine::Translation(Vec3 offset)
{
    Affine a;
    a.t = offset;
    return a;
}

Affine Affine::Scale(Vec3 factors)
{
    Affine a;
    a.m = {factors.x, 0, 0, 0, factors.y, 0, 0, 0, factors.z};
    return a;
}

Affine Affine::Rotation(Vec3 axis, float radians)
{
    Vec3 n = Normalized(axis);
    float c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    Affine a;
    a.m = {c + n.x * n.x * k,       n.x * n.y * k - n.z * s, n.x * n.z * k + n.y * s,
           n.y * n.x * k + n.z * s, c + n.y * n.y * k,       n.y * n.z * k - n.x * s,
           n.z * n.x * k - n.y * s, n.z * n.y * k + n.x * s, c + n.z * n.z * k};
    return a;
}

Affine operator*(const Affine& a, const Affine& b)
{
    Affine r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i * 3 + j] = a.m[i * 3] * b.m[j] + a.m[i * 3 + 1] * b.m[3 + j] + a.m[i * 3 + 2] * b.m[6 + j];
        }
    }
    r.t = a.Apply(b.t);
    return r;
}

Affine Inverse(const Affine& a)
{
    const auto& m = a.m;
    float det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
                + m[2] * (m[3] * m[7] - m[4] * m[6]);
    float k = 1.0f / det;
    Affine r;
    r.m = {(m[4] * m[8] - m[5] * m[7]) * k, (m[2] * m[7] - m[1] * m[8]) * k, (m[1] * m[5] - m[2] * m[4]) * k,
           (m[5] * m[6] - m[3] * m[8]) * k, (m[0] * m[8] - m[2] * m[6]) * k, (m[2] * m[3] - m[0] * m[5]) * k,
           (m[3] * m[7] - m[4] * m[6]) * k, (m[1] * m[6] - m[0] * m[7]) * k, (m[0] * m[4] - m[1] * m[3]) * k};
    Vec3 t = r.Apply(a.t);
    r.t = {-t.x, -t.y, -t.z};
    return r;
}

int MeshBuilder::Vertex(Vec3 p, float u, float v)
{
    Vec3 q = m_placement.Apply(p);
    m_mesh.vertices.push_back({q.x, q.y, q.z, u, v});
    return static_cast<int>(m_mesh.vertices.size()) - 1;
}

void MeshBuilder::Triangle(int a, int b, int c)
{
    // A mirroring placement turns the faces inside out; keep them showing outward.
    const auto& m = m_placement.m;
    float det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
                + m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (det < 0) {
        std::swap(b, c);
    }
    m_mesh.triangles.push_back({a, b, c});
}

void MeshBuilder::Quad(int a, int b, int c, int d)
{
    Triangle(a, b, c);
    Triangle(a, c, d);
}

float MeshBuilder::LowestHeight() const
{
    float lowest = m_mesh.vertices.empty() ? 0 : m_mesh.vertices[0].y;
    for (const MeshVertex& v : m_mesh.vertices) {
        lowest = std::min(lowest, v.y);
    }
    return lowest;
}

MeshData MeshBuilder::ToFile() const
{
    MeshData file = m_mesh;
    for (MeshVertex& v : file.vertices) {
        std::swap(v.y, v.z);
    }
    return file;
}

void AddBox(MeshBuilder& mesh, Vec3 lo, Vec3 hi, float texelSize, UvRect uv)
{
    // Each face: origin corner and its two edges, chosen so that edgeU x edgeV points out.
    const Vec3 size = hi - lo;
    struct Face {
        Vec3 origin, edgeU, edgeV;
    };
    const Face faces[6] = {
        {{lo.x, lo.y, hi.z}, {size.x, 0, 0}, {0, size.y, 0}},  // front (+z)
        {{hi.x, lo.y, lo.z}, {-size.x, 0, 0}, {0, size.y, 0}}, // back (-z)
        {{hi.x, lo.y, hi.z}, {0, 0, -size.z}, {0, size.y, 0}}, // right (+x)
        {{lo.x, lo.y, lo.z}, {0, 0, size.z}, {0, size.y, 0}},  // left (-x)
        {{lo.x, hi.y, hi.z}, {size.x, 0, 0}, {0, 0, -size.z}}, // top (+y)
        {{lo.x, lo.y, lo.z}, {size.x, 0, 0}, {0, 0, size.z}},  // bottom (-y)
    };
    for (const Face& f : faces) {
        float su = Length(f.edgeU) / texelSize, sv = Length(f.edgeV) / texelSize;
        int a = mesh.Vertex(f.origin, uv.U(0), uv.V(sv));
        int b = mesh.Vertex(f.origin + f.edgeU, uv.U(su), uv.V(sv));
        int c = mesh.Vertex(f.origin + f.edgeU + f.edgeV, uv.U(su), uv.V(0));
        int d = mesh.Vertex(f.origin + f.edgeV, uv.U(0), uv.V(0));
        mesh.Quad(a, b, c, d);
    }
}

void AddTube(MeshBuilder& mesh, Vec3 a, Vec3 b, const TubeShape& shape, UvRect uv)
{
    Vec3 axis = b - a;
    float length = Length(axis);
    if (length <= 0) {
        return;
    }
    std::vector<Vec2> profile;
    if (shape.caps) {
        profile.push_back({0, 0});
    }
    profile.push_back({shape.radiusA, 0});
    profile.push_back({shape.radiusB, length});
    if (shape.caps) {
        profile.push_back({0, length});
    }
    LatheAlong(mesh, a, axis, shape.side, profile, shape.sides, uv, 1, shape.flatten);
}

void AddLathe(MeshBuilder& mesh, Vec3 centre, const std::vector<Vec2>& profile, int sides, UvRect uv, float uTurns)
{
    LatheAlong(mesh, centre, {0, 1, 0}, {1, 0, 0}, profile, sides, uv, uTurns, 1);
}

void AddGrid(MeshBuilder& mesh, Vec3 origin, Vec3 edgeU, Vec3 edgeV, int nu, int nv, UvRect uv)
{
    std::vector<int> index((nu + 1) * (nv + 1));
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            float s = static_cast<float>(i) / nu, t = static_cast<float>(j) / nv;
            index[j * (nu + 1) + i] = mesh.Vertex(origin + edgeU * s + edgeV * t, uv.U(s), uv.V(1 - t));
        }
    }
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            mesh.Quad(index[j * (nu + 1) + i], index[j * (nu + 1) + i + 1], index[(j + 1) * (nu + 1) + i + 1],
                      index[(j + 1) * (nu + 1) + i]);
        }
    }
}

void AddExtrudedOutline(MeshBuilder& mesh, const std::vector<Vec2>& given, float y0, float y1, UvRect uv)
{
    // The faces below are wound for an outline turning from +x toward -z (negative area in
    // x-z); reverse one that turns the other way.
    std::vector<Vec2> outline = given;
    float area = 0;
    for (size_t i = 0; i < outline.size(); ++i) {
        Vec2 p = outline[i], q = outline[(i + 1) % outline.size()];
        area += p.x * q.y - q.x * p.y;
    }
    if (area > 0) {
        std::reverse(outline.begin(), outline.end());
    }
    Vec2 lo = outline[0], hi = outline[0], centre{};
    for (Vec2 p : outline) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
        centre = {centre.x + p.x / outline.size(), centre.y + p.y / outline.size()};
    }
    auto capU = [&](Vec2 p) { return uv.U((p.x - lo.x) / (hi.x - lo.x)); };
    auto capV = [&](Vec2 p) { return uv.V((p.y - lo.y) / (hi.y - lo.y)); };
    const int n = static_cast<int>(outline.size());
    // Caps as fans around the centre.
    int topCentre = mesh.Vertex({centre.x, y1, centre.y}, capU(centre), capV(centre));
    int bottomCentre = mesh.Vertex({centre.x, y0, centre.y}, capU(centre), capV(centre));
    float perimeter = 0;
    for (int i = 0; i < n; ++i) {
        Vec2 p = outline[i], q = outline[(i + 1) % n];
        int top0 = mesh.Vertex({p.x, y1, p.y}, capU(p), capV(p));
        int top1 = mesh.Vertex({q.x, y1, q.y}, capU(q), capV(q));
        int bottom0 = mesh.Vertex({p.x, y0, p.y}, capU(p), capV(p));
        int bottom1 = mesh.Vertex({q.x, y0, q.y}, capU(q), capV(q));
        mesh.Triangle(topCentre, top0, top1);
        mesh.Triangle(bottomCentre, bottom1, bottom0);
        float edge = std::hypot(q.x - p.x, q.y - p.y);
        float height = std::fabs(y1 - y0);
        float scale = std::max(hi.x - lo.x, hi.y - lo.y);
        int s0 = mesh.Vertex({p.x, y0, p.y}, uv.U(perimeter / scale), uv.V(height / scale));
        int s1 = mesh.Vertex({q.x, y0, q.y}, uv.U((perimeter + edge) / scale), uv.V(height / scale));
        int s2 = mesh.Vertex({q.x, y1, q.y}, uv.U((perimeter + edge) / scale), uv.V(0));
        int s3 = mesh.Vertex({p.x, y1, p.y}, uv.U(perimeter / scale), uv.V(0));
        mesh.Quad(s0, s1, s2, s3);
        perimeter += edge;
    }
}

void AddCrossedCards(MeshBuilder& mesh, Vec3 base, float width, float height, int count, float firstAngle, UvRect uv)
{
    for (int i = 0; i < count; ++i) {
        float a = firstAngle + Pi * i / count;
        Vec3 half{std::cos(a) * width / 2, 0, std::sin(a) * width / 2};
        AddGrid(mesh, base - half, half * 2, {0, height, 0}, 1, 1, uv);
    }
}

namespace {

float Cross2(Vec2 o, Vec2 a, Vec2 b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Andrew's monotone chain; counter-clockwise in (x, y), no collinear points.
std::vector<Vec2> ConvexHull(std::vector<Vec2> points)
{
    std::sort(points.begin(), points.end(), [](Vec2 a, Vec2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    if (points.size() < 3) return points;
    std::vector<Vec2> hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && Cross2(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, lower = k + 1; i > 0; --i) {
        while (k >= lower && Cross2(hull[k - 2], hull[k - 1], points[i - 1]) <= 0) --k;
        hull[k++] = points[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

// Where the lines through a-b and c-d meet; false when they are (nearly) parallel.
bool LineMeet(Vec2 a, Vec2 b, Vec2 c, Vec2 d, Vec2& out)
{
    const float rx = b.x - a.x, ry = b.y - a.y, sx = d.x - c.x, sy = d.y - c.y;
    const float denominator = rx * sy - ry * sx;
    if (std::fabs(denominator) < 1e-9f) return false;
    const float t = ((c.x - a.x) * sy - (c.y - a.y) * sx) / denominator;
    out = {a.x + t * rx, a.y + t * ry};
    return true;
}

// Fewer corners, still around everything: a corner is dropped by extending the edges on
// either side of it until they meet, which only adds area. The corner that adds least goes
// first.
std::vector<Vec2> SimplifyOutward(std::vector<Vec2> hull, int corners)
{
    while (static_cast<int>(hull.size()) > corners) {
        const size_t n = hull.size();
        size_t best = n;
        float bestArea = 0;
        Vec2 bestPoint{};
        for (size_t i = 0; i < n; ++i) {
            // Corners i and i+1 are replaced by the meeting point of the edges before and after.
            const Vec2 before = hull[(i + n - 1) % n], a = hull[i], b = hull[(i + 1) % n], after = hull[(i + 2) % n];
            Vec2 meet;
            if (!LineMeet(before, a, after, b, meet)) continue;
            // The meeting point must lie beyond the edge a-b, on the outside.
            const float added = -Cross2(a, b, meet) / 2;
            if (added < 0) continue;
            if (best == n || added < bestArea) {
                best = i;
                bestArea = added;
                bestPoint = meet;
            }
        }
        if (best == n) break;
        hull[best] = bestPoint;
        hull.erase(hull.begin() + static_cast<std::ptrdiff_t>((best + 1) % n));
    }
    return hull;
}

// The convex polygon clipped to 0 <= x <= w, 0 <= y <= h (Sutherland-Hodgman).
std::vector<Vec2> ClipToRect(const std::vector<Vec2>& polygon, float w, float h)
{
    std::vector<Vec2> out = polygon;
    auto clip = [&](auto inside, auto cut) {
        std::vector<Vec2> in = out;
        out.clear();
        for (size_t i = 0; i < in.size(); ++i) {
            const Vec2 p = in[i], q = in[(i + 1) % in.size()];
            if (inside(p)) out.push_back(p);
            if (inside(p) != inside(q)) out.push_back(cut(p, q));
        }
    };
    auto atX = [](Vec2 p, Vec2 q, float x) { return Vec2{x, p.y + (q.y - p.y) * (x - p.x) / (q.x - p.x)}; };
    auto atY = [](Vec2 p, Vec2 q, float y) { return Vec2{p.x + (q.x - p.x) * (y - p.y) / (q.y - p.y), y}; };
    clip([](Vec2 p) { return p.x >= 0; }, [&](Vec2 p, Vec2 q) { return atX(p, q, 0); });
    clip([&](Vec2 p) { return p.x <= w; }, [&](Vec2 p, Vec2 q) { return atX(p, q, w); });
    clip([](Vec2 p) { return p.y >= 0; }, [&](Vec2 p, Vec2 q) { return atY(p, q, 0); });
    clip([&](Vec2 p) { return p.y <= h; }, [&](Vec2 p, Vec2 q) { return atY(p, q, h); });
    return out;
}

} // namespace

std::vector<Vec2> AlphaHull(const Canvas& picture, float threshold, int corners, float margin)
{
    // Per row the outermost texels that count, each as the square it covers widened by the
    // margin: the hull of those squares holds every such texel.
    std::vector<Vec2> points;
    for (int y = 0; y < picture.height; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < picture.width; ++x) {
            if (picture.At(x, y)[3] <= threshold) continue;
            if (first < 0) first = x;
            last = x;
        }
        if (first < 0) continue;
        for (int x : {first, last}) {
            points.push_back({x - margin, y - margin});
            points.push_back({x + 1 + margin, y - margin});
            points.push_back({x - margin, y + 1 + margin});
            points.push_back({x + 1 + margin, y + 1 + margin});
        }
    }
    const float w = static_cast<float>(picture.width), h = static_cast<float>(picture.height);
    std::vector<Vec2> outline = ClipToRect(SimplifyOutward(ConvexHull(points), corners), w, h);
    for (Vec2& p : outline) p = {p.x / w, p.y / h};
    return outline;
}

std::vector<Vec2> AlphaBox(const Canvas& picture, float threshold, float margin)
{
    float x0 = static_cast<float>(picture.width), y0 = static_cast<float>(picture.height), x1 = 0, y1 = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            if (picture.At(x, y)[3] <= threshold) continue;
            x0 = std::min(x0, x - margin);
            y0 = std::min(y0, y - margin);
            x1 = std::max(x1, x + 1 + margin);
            y1 = std::max(y1, y + 1 + margin);
        }
    const float w = static_cast<float>(picture.width), h = static_cast<float>(picture.height);
    if (x0 >= x1 || y0 >= y1) return {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    x0 = std::max(x0, 0.0f) / w;
    y0 = std::max(y0, 0.0f) / h;
    x1 = std::min(x1, w) / w;
    y1 = std::min(y1, h) / h;
    // Counter-clockwise in (u, v), as AlphaHull gives it.
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

void AddCrossedCutouts(MeshBuilder& mesh, Vec3 base, float width, float height, int count, float firstAngle,
                       const std::vector<Vec2>& outline)
{
    for (int i = 0; i < count; ++i) {
        const float a = firstAngle + Pi * i / count;
        const Vec3 half{std::cos(a) * width / 2, 0, std::sin(a) * width / 2};
        std::vector<int> corners;
        // u runs along the card, v down from its top edge; (u, v) sits where AddGrid puts it.
        for (Vec2 uv : outline)
            corners.push_back(mesh.Vertex(base - half + half * (2 * uv.x) + Vec3{0, height * (1 - uv.y), 0}, uv.x, uv.y));
        // The outline turns counter-clockwise in (u, v), clockwise as seen on the card (v
        // points down), so the fan is wound backwards to face where AddGrid's quads face.
        for (size_t k = 1; k + 1 < corners.size(); ++k) mesh.Triangle(corners[0], corners[k + 1], corners[k]);
    }
}

std::vector<Vec2> LeafBladeOutline(int points, float roundness)
{
    // Two arcs from stem to tip; the widest point sits a little below the middle, as on
    // lime and birch leaves, and `roundness` blunts the tip.
    std::vector<Vec2> outline;
    const int half = points / 2;
    for (int side = 0; side < 2; ++side) {
        // The right side starts at the stem; the left side starts past the tip.
        for (int i = side; i < half; ++i) {
            float t = static_cast<float>(i) / half;            // 0 at the stem
            float s = side == 0 ? t : 1 - t;                   // walk back down on the left
            float y = s - 0.5f;
            float w = 0.5f * std::pow(std::max(0.0f, std::sin(Pi * s)), 0.8f) * (1 - 0.25f * s * (1 - roundness));
            outline.push_back({side == 0 ? w : -w, y});
        }
        if (side == 0) {
            outline.push_back({0, 0.5f});
        }
    }
    return outline;
}

namespace {

// The joints of a posed figure, in figure heights before the height scale.
struct Skeleton {
    Vec3 hips, waist, shoulders, neck, head;
    Vec3 bodyUp, headUp;
    std::array<Vec3, 2> shoulder, elbow, wrist, handTip, hip, knee, ankle, toe;
};

// The down vector swung forward (toward -z) by `swing` and outward by `spread`.
Vec3 LimbDirection(float swing, float spread, float sideSign)
{
    return Normalized({sideSign * std::sin(spread), -std::cos(spread) * std::cos(swing),
                       -std::cos(spread) * std::sin(swing)});
}

Vec3 TiltForward(Vec3 v, float angle)
{
    return Affine::Rotation({1, 0, 0}, -angle).Apply(v);
}

Skeleton PoseSkeleton(const Pose& pose)
{
    Skeleton k;
    k.hips = {0, 0.5f, 0};
    float bodyTilt = pose.lean, chestTilt = pose.lean + pose.spineBend;
    k.bodyUp = TiltForward({0, 1, 0}, bodyTilt);
    Vec3 chestUp = TiltForward({0, 1, 0}, chestTilt);
    k.waist = k.hips + k.bodyUp * 0.08f;
    k.shoulders = k.waist + chestUp * 0.22f;
    k.neck = k.waist + chestUp * 0.25f;
    k.headUp = Affine::Rotation({0, 1, 0}, pose.headTurn).Apply(TiltForward({0, 1, 0}, chestTilt + pose.headBow));
    k.head = k.neck + k.headUp * 0.085f;
    Affine chestFrame = Affine::Rotation({1, 0, 0}, -chestTilt);
    for (int s = 0; s < 2; ++s) {
        float sign = s == 0 ? -1.0f : 1.0f;
        k.shoulder[s] = k.shoulders + Vec3{sign * 0.165f, -0.01f, 0};
        Vec3 upper = chestFrame.Apply(LimbDirection(pose.shoulderSwing[s], pose.shoulderSpread[s], sign));
        Vec3 fore = chestFrame.Apply(
            LimbDirection(pose.shoulderSwing[s] + pose.elbowBend[s], pose.shoulderSpread[s] * 0.7f, sign));
        k.elbow[s] = k.shoulder[s] + upper * 0.17f;
        k.wrist[s] = k.elbow[s] + fore * 0.15f;
        k.handTip[s] = k.wrist[s] + fore * 0.075f;
        k.hip[s] = k.hips + Vec3{sign * 0.085f, 0, 0};
        Vec3 thigh = LimbDirection(pose.hipSwing[s], pose.hipSpread[s], sign);
        float shinSwing = pose.hipSwing[s] - pose.kneeBend[s];
        Vec3 shin = LimbDirection(shinSwing, pose.hipSpread[s] * 0.5f, sign);
        k.knee[s] = k.hip[s] + thigh * 0.225f;
        k.ankle[s] = k.knee[s] + shin * 0.23f;
        Vec3 foot = Affine::Rotation({1, 0, 0}, shinSwing).Apply({0, -0.25f, -1});
        k.toe[s] = k.ankle[s] + Normalized(foot) * 0.11f;
    }
    return k;
}

constexpr UvRect UpperClothes{0, 0, 0.5f, 0.5f};
constexpr UvRect LowerClothes{0.5f, 0, 1, 0.5f};
constexpr UvRect Skin{0, 0.5f, 0.5f, 1};
constexpr UvRect Dark{0.5f, 0.5f, 1, 1};

} // namespace

Vec3 FigureJoint(const FigureStyle& style, const Pose& pose, int joint)
{
    Skeleton k = PoseSkeleton(pose);
    Vec3 p = joint == 2 ? k.neck : k.wrist[joint];
    return p * style.height;
}

void AddFigure(MeshBuilder& mesh, const FigureStyle& style, const Pose& pose)
{
    const Skeleton k = PoseSkeleton(pose);
    const float h = style.height, g = style.build;
    Affine saved = mesh.Placement();
    mesh.SetPlacement(saved * Affine::Uniform(h));
    auto limb = [&](Vec3 a, Vec3 b, float ra, float rb, float flatten, UvRect uv, int sides = 6) {
        TubeShape shape;
        shape.radiusA = ra * g;
        shape.radiusB = rb * g;
        shape.flatten = flatten;
        shape.sides = sides;
        AddTube(mesh, a, b, shape, uv);
    };
    // Torso: hips to waist, waist to shoulders, flattened front to back.
    limb(k.hips - k.bodyUp * 0.04f, k.waist, 0.1f, 0.088f, 0.62f, LowerClothes, 8);
    limb(k.waist, k.shoulders + (k.shoulders - k.waist) * 0.05f, 0.09f, 0.15f, 0.5f, UpperClothes, 8);
    limb(k.neck - (k.neck - k.shoulders) * 2.0f, k.neck + k.headUp * 0.03f, 0.032f, 0.028f, 1, Skin);
    // Head, with hair or a hood over it.
    Vec3 side = Affine::Rotation({0, 1, 0}, pose.headTurn).Apply({1, 0, 0});
    LatheAlong(mesh, k.head, k.headUp, side,
               {{0, -0.07f}, {0.042f, -0.06f}, {0.058f, -0.025f}, {0.06f, 0.012f}, {0.048f, 0.048f}, {0.024f, 0.066f},
                {0, 0.071f}},
               8, Skin, 1, 0.92f);
    if (style.hood) {
        // Open over the face, which lies at a quarter turn from the side.
        LatheAlong(mesh, k.head - k.headUp * 0.01f, k.headUp, side,
                   {{0.085f, -0.07f}, {0.078f, 0.02f}, {0.055f, 0.07f}, {0.0f, 0.1f}}, 8, UpperClothes, 1, 1,
                   0.8f * Pi, 2.2f * Pi);
    } else {
        LatheAlong(mesh, k.head + k.headUp * 0.004f, k.headUp, side,
                   {{0.063f, -0.005f}, {0.062f, 0.02f}, {0.05f, 0.055f}, {0.025f, 0.072f}, {0, 0.077f}}, 8, Dark, 1,
                   0.95f);
    }
    if (style.longHair) {
        Vec3 back = Cross(side, k.headUp);
        limb(k.head + back * 0.035f, k.neck + back * 0.045f - k.headUp * 0.09f, 0.05f, 0.065f, 0.55f, Dark);
    }
    for (int s = 0; s < 2; ++s) {
        limb(k.shoulder[s], k.elbow[s], 0.038f, 0.031f, 1, UpperClothes);
        limb(k.elbow[s], k.wrist[s], 0.031f, 0.025f, 1, UpperClothes);
        limb(k.wrist[s], k.handTip[s], 0.022f, 0.016f, 0.55f, Skin, 5);
        limb(k.hip[s], k.knee[s], 0.058f, 0.042f, 1, LowerClothes);
        limb(k.knee[s], k.ankle[s], 0.042f, 0.029f, 1, LowerClothes);
        limb(k.ankle[s] - (k.toe[s] - k.ankle[s]) * 0.25f, k.toe[s], 0.03f, 0.024f, 0.7f, Dark, 5);
    }
    if (style.skirt > 0) {
        Vec3 down = k.bodyUp * -1.0f;
        LatheAlong(mesh, k.waist, down, {1, 0, 0},
                   {{0.092f, -0.01f}, {0.1f, 0.06f}, {0.092f * style.skirtFlare, style.skirt}}, 10, UpperClothes, 1,
                   0.8f);
    }
    mesh.SetPlacement(saved);
}
