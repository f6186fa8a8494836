// globalscenes: the scene table. Fourteen scenes in 32 slots, each with its span of music
// time, made from the piece's schedule; RenderFrame reads the frame clock once and lets the
// active scene draw.
#pragma once

#include "scenes/lum_scenes.h"

#include <cstdint>

constexpr int kSceneSlotCount = 32;

extern lum_genericscene* SceneTable[kSceneSlotCount];
// The music position of the current frame, ms: written by RenderFrame, read by the shell.
extern int32_t MusicTime;

// Fills the table with its fourteen scene objects and their spans (program start; nothing
// is loaded). Calling it again replaces nothing: the table is made once.
void InitialiseSceneTable();

// MusicTime := the frame clock, the film grain's tick latched; then every scene whose span
// holds MusicTime renders, by slot.
void RenderFrame();

// One scene object alone at music time `time` (which need not lie in its span), on the same
// frame clock: the way a sub-scene is drawn on its own.
void RenderSceneAlone(lum_genericscene& scene, int32_t time);

// True once the time lies at or past the end of every scheduled span: nothing will ever
// draw again, so the main loop ends even if the outro never drew a frame in its last fifth.
bool PieceHasEnded(int32_t time);
