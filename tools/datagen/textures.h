// Painters of the global textures and pictures. Each returns a finished canvas (alpha in
// the canvas alpha where the texture has an alpha map); GenerateGlobalTextures decides
// file names, formats and filters. Every painter draws from fixed seeds.
#pragma once

#include "datagen/image.h"

// Nature: skies, ground, grass tuft, tree card, water.
Canvas PaintSky(int size);            // equirectangular dome, tiles in u, mirrored about v = 0.5
Canvas PaintFlatSky(int size);        // overcast ceiling seen from below, tiles both ways
Canvas PaintGrassBottom(int size);    // dry ground with straw and fallen leaves, tiles both ways
Canvas PaintGrassTuft(int size);      // card: blades rooted on the bottom row, alpha cut
Canvas PaintTreeCard(int size);       // card: a half-bare autumn tree, trunk foot at bottom centre
Canvas PaintWater(int size);          // dark pond surface with ripples, tiles both ways

// Leaves: the five kinds fill their square with the stem at the bottom centre.
Canvas PaintLeaf(int kind, int size); // kind 1 birch, 2 oak, 3 aspen, 4 elm, 5 maple
Canvas PaintLeafShadow(int size);     // dark colour; alpha 0 under the leaf, 1 around it
Canvas PaintAtomLeaf(int size);       // glowing ember leaf with a soft alpha halo

// Frame effects and light.
Canvas PaintVignette(int size);       // black; alpha 1 in the middle, dark towards the edges
Canvas PaintFilmNoise(int size);      // grain, dust and scratches in a mostly clear alpha
Canvas PaintLightSphere(int size);    // additive glow, black at the edges
Canvas PaintBigShadow(int size);      // soft dark blob in the alpha

// Pictures.
Canvas PaintTitle(int size);          // size x size (512 for 640x480), made for a 640 x 360 display
Canvas PaintLoader(int size);         // size x size (512 for 640x480), made for a 480 x 360 display
Canvas PaintPrepareSign(int size);    // enamel sign "READY TO RUST?", alpha cut plate

// Resamples a canvas to another size with area averaging (pictures are painted at their
// display aspect, then squeezed into square power-of-two textures).
Canvas Resize(const Canvas& canvas, int width, int height);
