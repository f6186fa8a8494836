// lum_spline: the cubic that camera paths are interpolated with. One Hermite segment whose
// tangents are forward differences of three consecutive keys, so a path needs no key before
// its first one. Depends on nothing.
#pragma once

// The segment from p0 (t = 0) to p1 (t = 1) with tangent p1 - p0 at p0 and p2 - p1 at p1.
// Evaluated in extended precision and rounded to float once, at the end.
float HermiteValue(float t, float p0, float p1, float p2);
