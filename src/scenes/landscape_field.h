// The landscape field: 4501 grass tufts and 16 trees placed with Random01 at load and
// compiled into buffers and a display list, and the landscape drawn around them: a sky sphere, a
// fogged ground plane, the grass and the trees. Season, baken, atom and grass fly over it;
// greet's black field is the same grass without trees.
//
// Each is one pre-transformed indexed array (render/mesh_batch): the same vertices the
// nested push, translate, scale, rotate and DrawGeoxTextured calls would compile. The grass
// is laid out as square chunks of the field, one after another in one buffer, each with its
// box: a frame draws only the chunks whose box reaches into the view, every run of
// neighbouring chunks in one call. The software renderer pays for every triangle it is sent,
// seen or not, and from inside the field most of it lies behind or beside the camera; and it
// pays for every call, so a field seen whole from above is one draw, not 256. The
// alpha-tested, depth-tested tufts give the same picture in any order.
#pragma once

#include "gl/gl.h"
#include "render/mesh_batch.h"
#include "render/view_region.h"
#include "resources/globaldata.h"

constexpr int GrassTuftCount = 4501;
constexpr int LandscapeTreeCount = 16;
// The +-400 field in 16 x 16 chunks of 50 x 50.
constexpr int GrassChunkSide = 16;
constexpr int GrassChunkCount = GrassChunkSide * GrassChunkSide;

struct GrassChunk {
    int firstIndex = 0, indexCount = 0; // the chunk's tufts in the field's buffers, in their order in the field
    float lastTexCoord[2] = {};         // the texture coordinates its last index names
    float lo[3], hi[3];                 // the box around them
};

struct LandscapeField {
    Float3 tufts[GrassTuftCount];     // positions of the tufts
    Float3 trees[LandscapeTreeCount]; // positions of the trees (y = 0)
    GrassChunk grass[GrassChunkCount];
    MeshBuffers grassBuffers;         // every chunk, one after another
    GLuint treeList = 0;
};



// The four textures of one look of the landscape, resolved at load, and the sampler the grass
// is drawn through (0: its own filters).
struct LandscapeTextures {
    GLuint sky, ground, grass, tree;
    GLuint grassSampler = 0;
};
// "sky", "grassbottom", "grass", "tree".
LandscapeTextures ColourLandscape();
// "skybw", "grassbottombw", "grassbw", "treebw".
LandscapeTextures BlackAndWhiteLandscape();

// The load steps, each with its random draws in order (R = one Random01):
// tufts: x, y, z per tuft, (R - 0.5) * 800, (R - 0.5) * 2 - 24, (R - 0.5) * 800.
void PlaceGrassTufts(LandscapeField& field);
// trees: x = R * 200 + 50, z = R * 200 + 50, then each negated when R > 0.5.
void PlaceTrees(LandscapeField& field);
// The grass buffers: per tuft a = R, b = R, turn = R * 360; the tuft scaled (2, 1 + 2ab, 2).
void CompileGrassField(LandscapeField& field);
// A test a scene may add: true when everything in the box (lo, hi) is hidden behind
// something already in the depth buffer, so its chunk need not be drawn. The chunks of the
// run being gathered are not drawn yet when it is asked.
using HiddenBox = bool (*)(const float lo[3], const float hi[3]);

// The grass under the current modelview and projection: the chunks whose box reaches into
// `region` of the view and is not `hidden`. Texture, colour and alpha test are the caller's.
// As after calling a list per chunk, the current texture coordinate is the last drawn
// vertex's.
void DrawGrassField(const LandscapeField& field, const ViewRegion& region = {}, HiddenBox hidden = nullptr);
// The tree list: tree i scaled (1 + i/15, 1 + i/10, 1 + i/15), turned i * 360/16, sunk 14.
// No draws.
void CompileTrees(LandscapeField& field);

// All four, in that order: 3 * 4501 + 4 * 16 + 3 * 4501 random draws. With
// ModelviewReset::BeforeEachList the modelview is set to identity before the grass and the
// trees are compiled (baken, atom, grass); they hold placements relative to the matrix they
// are drawn under, so this changes GL's matrix at load and nothing in them.
enum class ModelviewReset { None, BeforeEachList };
void BuildLandscapeField(LandscapeField& field, ModelviewReset reset = ModelviewReset::None);

// GL_LINEAR fog from 0 to `end`, set before the landscape (the colour is set by DrawLandscape).
void SetLandscapeFog(float end);

// The sky sphere under the current camera, scaled by `scale`, with `texture` bound and the
// current colour, fog and depth state; leaves the sphere's last texture coordinate current.
void DrawSkySphere(GLuint texture, float scale);

// The landscape under the current camera: the sky sphere scaled by skyScale (before the fog),
// white fog on, the ground (x64 wide, 24 down), the grass and the trees alpha-tested at 0.5,
// fog off. Expects the depth test on; draws with the current colour; leaves texturing on,
// the alpha test and fog off. A scene whose landscape shows only through part of the
// picture passes that part as `region` to leave out the grass elsewhere.
void DrawLandscape(const LandscapeField& field, const LandscapeTextures& textures, float skyScale,
                   const ViewRegion& region = {}, HiddenBox hidden = nullptr);
