// Shared building blocks of the generated meshes: a mesh builder that works in drawn
// coordinates (x right, y up, z depth, as the scenes place things) and writes file order
// (z up) at the end, affine placements, and the primitives every asset family uses:
// boxes, tubes between two points, lathes, subdivided quads, extruded outlines, crossed
// cards, leaf outlines and low-poly human figures with a pose.
#pragma once

#include "datagen/image.h"
#include "datagen/writers.h"

#include <array>
#include <vector>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
float Length(Vec3 a);
Vec3 Normalized(Vec3 a);

// An affine map: p' = m * p + t (m row-major).
struct Affine {
    std::array<float, 9> m{1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vec3 t;

    Vec3 Apply(Vec3 p) const;
    static Affine Translation(Vec3 offset);
    static Affine Scale(Vec3 factors);
    static Affine Uniform(float factor) { return Scale({factor, factor, factor}); }
    // Rotation about an axis through the origin, angle in radians, right-handed.
    static Affine Rotation(Vec3 axis, float radians);
};
// a after b: applies b first.
Affine operator*(const Affine& a, const Affine& b);
Affine Inverse(const Affine& a);

// A rectangle of texture space that a primitive maps its coordinates into.
struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    float U(float s) const { return u0 + (u1 - u0) * s; }
    float V(float t) const { return v0 + (v1 - v0) * t; }
};

class MeshBuilder {
public:
    // Everything added goes through this placement (identity by default).
    void SetPlacement(const Affine& placement) { m_placement = placement; }
    const Affine& Placement() const { return m_placement; }

    int Vertex(Vec3 p, float u, float v);
    // Counter-clockwise seen from the side the face shows: the loader's normal points there.
    void Triangle(int a, int b, int c);
    void Quad(int a, int b, int c, int d);

    // The lowest drawn height of what was added so far.
    float LowestHeight() const;
    // The mesh in file order (x, depth, height).
    MeshData ToFile() const;

private:
    Affine m_placement;
    MeshData m_mesh; // positions kept in drawn order until ToFile
};

// Axis-aligned box in the builder's frame; texture coordinates follow the faces' world size
// divided by texelSize, so textures tile at the same density on every face.
void AddBox(MeshBuilder& mesh, Vec3 lo, Vec3 hi, float texelSize, UvRect uv = {});

// A tapered tube from a to b with elliptic cross-sections (radii along the sideways and the
// second perpendicular axis), `sides` facets, closed by caps. u runs around, v along.
struct TubeShape {
    float radiusA = 1, radiusB = 1; // at a and at b
    float flatten = 1;              // second radius = radius * flatten
    int sides = 6;
    bool caps = true;
    Vec3 side{1, 0, 0};             // preferred direction of the first radius
};
void AddTube(MeshBuilder& mesh, Vec3 a, Vec3 b, const TubeShape& shape, UvRect uv = {});

// A surface of revolution about the y axis through `centre`: profile points (radius,
// height), bottom to top. u runs around (`uTurns` times), v along the profile.
void AddLathe(MeshBuilder& mesh, Vec3 centre, const std::vector<Vec2>& profile, int sides,
              UvRect uv = {}, float uTurns = 1);

// A quad from `origin` spanned by `edgeU` and `edgeV`, cut into nu x nv cells. The face shows
// to the side of edgeU x edgeV.
void AddGrid(MeshBuilder& mesh, Vec3 origin, Vec3 edgeU, Vec3 edgeV, int nu, int nv, UvRect uv = {});

// A star-shaped outline in the x-z plane (its mean point inside, either turning) extruded from height y0 to y1. Top and bottom map the outline's bounds into `uv`.
void AddExtrudedOutline(MeshBuilder& mesh, const std::vector<Vec2>& outline, float y0, float y1,
                        UvRect uv = {});

// `count` vertical cards of the whole texture crossing at `base`, turned evenly.
void AddCrossedCards(MeshBuilder& mesh, Vec3 base, float width, float height, int count,
                     float firstAngle = 0, UvRect uv = {});

// The convex outline, with at most about `corners` corners, around every texel whose alpha
// exceeds `threshold`, widened by `margin` texels and kept inside the picture; in texture
// coordinates (u right, v down, 0..1). A card cut to it rasterises only what its alpha test
// can keep: a symmetric texture filter never lifts the alpha above one half outside the
// convex hull of the shape, at any mip level.
std::vector<Vec2> AlphaHull(const Canvas& picture, float threshold, int corners, float margin);

// The rectangle around every texel whose alpha exceeds `threshold`, widened by `margin`
// texels and kept inside the picture, as an outline for AddCrossedCutouts: a card cut to
// it keeps its two triangles and leaves out the empty border of its picture.
std::vector<Vec2> AlphaBox(const Canvas& picture, float threshold, float margin);

// AddCrossedCards with each card cut to `outline` (texture coordinates, convex, from
// AlphaHull): the same picture from fewer fragments.
void AddCrossedCutouts(MeshBuilder& mesh, Vec3 base, float width, float height, int count, float firstAngle,
                       const std::vector<Vec2>& outline);

// A leaf outline with `points` points around, stem at (0, -0.5), tip at (0, 0.5), width 1 at
// most: for flat leaves cut by outline rather than by alpha.
std::vector<Vec2> LeafBladeOutline(int points, float roundness);

// Low-poly human figure. Lengths in figure heights; the figure stands with its soles at y 0
// and faces -z. Angles in radians.
struct Pose {
    float lean = 0;                  // whole body forward about the hips (sitting: 0)
    float spineBend = 0;             // chest forward
    float headBow = 0;               // head forward
    float headTurn = 0;              // head about the vertical
    std::array<float, 2> hipSwing{};     // thigh forward (left, right)
    std::array<float, 2> hipSpread{};    // thigh outward
    std::array<float, 2> kneeBend{};     // shin backward
    std::array<float, 2> shoulderSwing{};// upper arm forward
    std::array<float, 2> shoulderSpread{};// upper arm outward
    std::array<float, 2> elbowBend{};    // forearm forward
};

// The texture of a figure is a 2 x 2 atlas: upper clothes top left, lower clothes top right,
// skin bottom left, hair and shoes bottom right.
struct FigureStyle {
    float height = 45;
    float build = 1;          // girth factor
    float skirt = 0;          // length of a skirt or coat hem below the waist, in heights
    float skirtFlare = 1.6f;  // hem radius over waist radius
    bool longHair = false;
    bool hood = false;
};
void AddFigure(MeshBuilder& mesh, const FigureStyle& style, const Pose& pose);
// Where a joint of the posed figure ends up (for props held in a hand): 0 left wrist,
// 1 right wrist, 2 neck.
Vec3 FigureJoint(const FigureStyle& style, const Pose& pose, int joint);
