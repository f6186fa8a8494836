// `lantern join OUT PART...`: the part files of a capture drawn in parts (capture --part K/N,
// on one machine or many) checked and put together into the video the capture would have
// made: every part read back and held against its label and the others (one capture, one set
// of settings and data, each part whole, none missing or given twice), their video
// concatenated by stream copy (no second encode), and the soundtrack's stretch for the whole
// range added exactly as capture adds it. Refusals name the part and the fault; the output
// is written whole or not at all.
#pragma once

#include <string>
#include <vector>

struct JoinOptions {
    std::string output; // .mp4, .mkv or .webm, the kind of the parts
    std::vector<std::string> parts;
};

// Joins with the data root set (the soundtrack and the data digest come from there). Returns
// the exit code: 0; 1 after a message on stderr; 128 + the signal's number when interrupted.
int JoinParts(const JoinOptions& options);
