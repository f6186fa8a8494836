// Steps that the title, intro, greet and outro scenes share.
#pragma once

// The opening of the overlay scenes (title, intro, outro): clear colour (0, 0, 0, 0),
// colour and depth cleared, CurrentCamera applied.
void ClearForOverlayScene();

// The frame kept by alpha and white for the rest (alpha 0 is pure white): the greet and
// outro scenes come out of white with it.
void DrawWhiteFade(float alpha);
