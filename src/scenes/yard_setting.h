// The yard setting, the backdrop of the sign, smallfall, cup, waterfilled, kill and sub
// scenes: the meshes of the yard folder, each with its "yard." texture, moved 1850 along z,
// and a flat sky ceiling ("flatsky" on the plane, flattened and lifted to 5000).
#pragma once

// Looks up the yard's textures; every scene that draws the setting calls it from its Load
// (again is harmless).
void PrepareYardSetting();

// Draws the setting under the current camera with the current colour; expects the depth
// test on. Leaves texturing on and "flatsky" bound, and the texture coordinate of the
// ceiling's last vertex current (the killthroat silhouette is drawn in it).
void DrawYardSetting();
