// The start-up sequence: the whole loading phase, in a fixed order that fixes every
// random placement of the piece, with the loader screen between the long steps; the
// music starts last.
#pragma once

void StartUpSequence();

// One complete loader frame (the darkened loader picture with its glow), swapped.
void DrawLoaderScreen();
