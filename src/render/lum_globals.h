// lum_globals: the one current camera and the path the debug recorder appends to. (The
// shared random source that every loader places things with is base/random.h, below the
// global data set that draws from it.) Depends on lum_camera.
//
// At program start (static initialisation) CurrentCamera holds DefaultCamera() and
// DefaultCameraPath is empty.
#pragma once

#include "render/lum_camera.h"

// The camera scenes evaluate into and apply, and the debug moves change.
extern CameraRecord CurrentCamera;
// The recording path: each recorded key is appended and the path saved to "default.camera".
extern CameraPath DefaultCameraPath;

// Eye (0, 0, -10) looking at (0, 0, 10), up (0, 10, 0), fov 70.
CameraRecord DefaultCamera();
