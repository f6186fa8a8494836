// lum_scenes: the base of every scene. A scene owns a span of music time and draws itself
// from its progress through that span; everything it draws is a function of the time it
// is given, so any frame can be drawn without the frames before it.
#pragma once

#include <cstdint>

class lum_genericscene {
public:
    virtual ~lum_genericscene() = default;

    // Draws one frame for the music time in ms. The base draws nothing.
    virtual void Render(int32_t time) {}
    // Loads and prepares everything the scene needs. The base loads nothing.
    virtual void Load() {}

    // (time - StartTime) / (EndTime - StartTime) inside the span, else -1; -1 also for a
    // scene whose span is 0 .. 0.
    float Progress(int32_t time) const;

    int32_t StartTime = 0; // first music time of the span (inclusive)
    int32_t EndTime = 0;   // end of the span (exclusive)
};

// The end of the piece. The outro calls EndPiece once its span is far enough along; the main
// loop ends the run after the frame in which that happened.
void EndPiece();
bool PieceEndRequested();
// Forgets a request (tests, and offline rendering, which draws the outro without ending).
void ClearPieceEnd();
