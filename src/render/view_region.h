// ViewRegion: a rectangle of the view in normalised device coordinates, for leaving out what
// cannot show in it: a scene that clips its drawing to the picture band, or to the picture of
// a window, culls against the same rectangle. Depends on nothing.
#pragma once

// -1 .. 1 across (left to right) and up (bottom to top).
struct ViewRegion {
    float left = -1, right = 1, bottom = -1, top = 1;
};

// The picture band, rows 60 to 420 of 480: all a scene that clips to it (ClipToPictureBand)
// can show.
constexpr ViewRegion PictureBandRegion{-1, 1, -0.75f, 0.75f};
