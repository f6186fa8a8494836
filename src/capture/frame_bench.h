// The frame benchmark: with the piece started off-screen, draws frames spread over the span of
// every scene (the timeline's through the scene table, the sub-scenes alone through their own
// objects) and reports each scene's mean, 95th percentile and worst frame (`lantern bench`).
#pragma once

#include <string>
#include <vector>

// A frame at 60 frames a second.
constexpr double FrameBudgetMs = 1000.0 / 60.0;

struct BenchOptions {
    int frames = 120;                // frames a scene, spread over its span
    int passes = 1;                  // times every scene is drawn; a frame counts its fastest
    std::vector<std::string> scenes; // only these scene classes (all when empty)
    bool json = false;               // one JSON object instead of the table
};

// Prints the renderer, the frame size and a line a scene, then the whole piece (the timeline
// scenes' frames together, each standing for its share of its scene's span). A line gives the
// scene's mean, 95th percentile and worst wall milliseconds, its 95th percentile divided by the
// title's mean of the same run (the machine's speed drifts between runs, so budgets are held
// as this ratio; the title, little more than the finishing passes, is timed in every run) and
// its mean processor milliseconds a frame, the renderer's threads included. With both renderers
// chosen (gl/renderer.h) every frame is drawn by each in turn, and the two tables are followed by
// each scene's ratio of their times. Returns 0, or 1 when no scene named was made.
int RunFrameBenchmark(const BenchOptions& options);

// The scene every ratio is taken against.
constexpr const char* BenchReferenceScene = "title";

// A drawn frame, the milliseconds of music it stands for, and the processor time it took.
struct TimedFrame {
    double ms;
    double weight;
    double cpuMs = 0;
};
struct FrameTimeSummary {
    double mean = 0, p95 = 0, worst = 0;
    double cpuMean = 0; // processor milliseconds, weighted as the mean
};
// Mean and 95th percentile over the weights (the time a frame is on screen), and the worst.
// Every scene draws the same number of frames, so a scene twice as long has frames of twice
// the weight in the whole piece's figures.
FrameTimeSummary SummariseFrames(std::vector<TimedFrame> frames);
