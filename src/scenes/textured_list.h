// A mesh folder drawn with its textures: entry i of a GeoxList with the texture named prefix
// + its filtered name ("yard." + "wall" ...). The names are looked up once, at load, into a
// ListTextures the scene keeps; a frame only binds ids.
#pragma once

#include "gl/gl.h"
#include "resources/lum_geox.h"

#include <string_view>
#include <vector>

struct ListTextures {
    std::vector<GLuint> ids; // entry i's texture (0 where the library has no such name)
};

// Looks up prefix + filteredNames[i] in GlobalTextures for every entry of the list.
ListTextures ResolveListTextures(const GeoxList& list, std::string_view prefix);

// How many entries can be drawn: the least of the list's count, its meshes, its filtered
// names and the textures resolved for it (a damaged list can disagree with itself).
int DrawableEntries(const GeoxList& list, const ListTextures& textures);

// For i = 0 .. DrawableEntries - 1 in order: bind entry i's texture (texturing on), DrawGeoxTextured of
// mesh i. Draws with the current colour, matrices and blending; changes nothing else.
void DrawGeoxListTextured(const GeoxList& list, const ListTextures& textures);
