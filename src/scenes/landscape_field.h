// The landscape field: 4501 grass tufts and 16 trees placed with Random01 at load and
// compiled into two display lists, and the landscape drawn around them: a sky sphere, a
// fogged ground plane, the grass and the trees. Season, baken, atom and grass fly over it;
// greet's black field is the same grass without trees.
//
// Each list is one pre-transformed indexed array (render/mesh_batch): the same vertices the
// nested push, translate, scale, rotate and DrawGeoxTextured calls would compile, in one draw.
#pragma once

#include "base/gl.h"
#include "resources/globaldata.h"

constexpr int GrassTuftCount = 4501;
constexpr int LandscapeTreeCount = 16;

struct LandscapeField {
    Float3 tufts[GrassTuftCount];     // positions of the tufts
    Float3 trees[LandscapeTreeCount]; // positions of the trees (y = 0)
    GLuint grassList = 0;
    GLuint treeList = 0;
};

// The four textures of one look of the landscape, resolved at load.
struct LandscapeTextures {
    GLuint sky, ground, grass, tree;
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
// The grass list: per tuft a = R, b = R, turn = R * 360; the tuft scaled (2, 1 + 2ab, 2).
void CompileGrassField(LandscapeField& field);
// The tree list: tree i scaled (1 + i/15, 1 + i/10, 1 + i/15), turned i * 360/16, sunk 14.
// No draws.
void CompileTrees(LandscapeField& field);

// All four, in that order: 3 * 4501 + 4 * 16 + 3 * 4501 random draws.
void BuildLandscapeField(LandscapeField& field);

// GL_LINEAR fog from 0 to `end`, set before the landscape (the colour is set by DrawLandscape).
void SetLandscapeFog(float end);

// The landscape under the current camera: the sky sphere scaled by skyScale (before the fog),
// white fog on, the ground (x64 wide, 24 down), the grass and the trees alpha-tested at 0.5,
// fog off. Expects the depth test on; draws with the current colour; leaves texturing on,
// the alpha test and fog off.
void DrawLandscape(const LandscapeField& field, const LandscapeTextures& textures, float skyScale);
