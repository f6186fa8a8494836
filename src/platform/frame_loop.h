// The program's frames, in each system's way of running them. A desktop program calls them
// itself, one after another; a browser shows the page only when the program has returned to
// it, so there the browser calls each frame, once a display refresh (requestAnimationFrame).
#pragma once

// Calls frame() until it returns false, then finished(). On a desktop this returns once
// finished() has; in a browser it returns at once, and the browser goes on calling them.
void RunFrames(bool (*frame)(), void (*finished)());
