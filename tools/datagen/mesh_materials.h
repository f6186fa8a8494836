// The pictures of the mesh folders: rust, bark, wood, plaster facades, asphalt, cloth and
// skin atlases, enamel, foliage, mud and stones, flames and ash. Each is painted with the
// noise and painting toolkit from a fixed seed; the tiling ones wrap at their edges.
#pragma once

#include "datagen/image.h"

#include <cstdint>

// Painted iron eaten by rust: `rust` 0 keeps most of the paint, 1 leaves bare rust.
Canvas RustCanvas(int size, uint32_t seed, Colour paint, float rust);
Canvas BarkCanvas(int size, uint32_t seed);
// Weathered planks running along u.
Canvas PlanksCanvas(int size, uint32_t seed, Colour wood);
// A tile of two by two windows in weathered plaster over brick, rust streaks under the sills;
// `plasterCover` 1 keeps nearly all the plaster, 0 leaves bare brick. Made for 512 pixels; the
// ground and wall pictures painted larger (for pictures drawn large) gain finer detail.
Canvas FacadeCanvas(int size, uint32_t seed, float plasterCover);
// Cracked asphalt with fallen leaves; made for 512 pixels.
Canvas AsphaltCanvas(int size, uint32_t seed);
// Figure atlas (see FigureStyle): upper clothes, lower clothes, skin, hair and shoes.
Canvas FigureAtlas(uint32_t seed, Colour upper, Colour lower, Colour skin, Colour dark);
// White enamel with a blue rim band across the middle (v 0.5) and chips of rusted iron.
Canvas EnamelCanvas(uint32_t seed);
// A dense mass of autumn leaves (tree crowns seen as solids).
Canvas FoliageCanvas(uint32_t seed);
// Mud with fallen leaves, stones where `pebbles`; made for 256 pixels.
Canvas MudCanvas(int size, uint32_t seed, bool pebbles);
Canvas StonesCanvas(uint32_t seed);
// Dry reeds: vertical strands of straw.
Canvas ReedCanvas(uint32_t seed);
// Corrugated garage door in flaking paint.
Canvas GarageDoorCanvas(uint32_t seed);
// Amber glass panes behind a rusted lattice.
Canvas LanternCanvas(uint32_t seed);
// Upper half planks, lower half twisted rope.
Canvas SwingCanvas(uint32_t seed);
// Cut-out pictures with alpha: flames, a ring of ash, a bare autumn tree.
Canvas FlamesCanvas(uint32_t seed);
Canvas AshCanvas(uint32_t seed);
Canvas TreeCardCanvas(uint32_t seed);
