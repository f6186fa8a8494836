// globalscenes: the scene table. Fourteen scenes in 32 slots, each with its span of music
// time; RenderFrame reads the music clock once and lets the active scene draw.
#pragma once

#include "timeline/lum_scenes.h"

constexpr int kSceneSlotCount = 32;

extern lum_genericscene* SceneTable[kSceneSlotCount];

// Fills the table with its fourteen scene objects and their spans (program start; nothing
// is loaded). Calling it again replaces nothing: the table is made once.
void InitialiseSceneTable();

// MusicTime := the frame clock; then every scene whose span holds it renders, by slot.
void RenderFrame();

// True once the time lies at or past the end of every scheduled span: nothing will ever
// draw again, so the main loop ends even if the outro never drew a frame in its last fifth.
bool PieceHasEnded(int32_t time);
