// The page around the program in a browser: what its scripts read of a run, and how the run's
// end reaches it. A desktop has no page: there these do nothing (page_desktop.cpp).
#pragma once

#include <cstdint>

// After each frame of play: the music time it showed, for the page's scripts
// (window.lanternMusicMs), beside the state of the sound (window.lanternAudioState).
void PublishFrame(int32_t musicMs);
// The run is over, with this exit code: the page says so ("lantern: ended" in its title, or
// the error a message box showed) and offers to play again.
void PublishRunEnd(int exitCode);
