// The kinds of video file that capture and join write (.mp4 H.264 and AAC, .mkv H.264 and
// Opus, .webm VP9 and Opus), and the ffmpeg arguments both build from them, so that a capture
// in parts is encoded, muxed and given its sound exactly as a capture on one machine.
#pragma once

#include "base/picture_size.h"

#include <cstdint>
#include <string>
#include <vector>

// The bounds of a capture's settings: the command line holds its options to them, and join
// the numbers of a part's label, which may have been written by anyone.
inline constexpr int kMaxCaptureFps = 240;
inline constexpr int kMaxCaptureCrf = 51; // the H.264 encoder's worst quality level
inline constexpr int kMaxSupersample = 16;
inline constexpr PixelSize kMaxVideoSize{7680, 4320}; // what the video encoders take

// A kind of output file: its muxer and the encoders' options (the quality level follows).
struct VideoFormat {
    const char* extension;
    const char* muxer;
    const char* videoCodec; // as ffprobe names the video stream
    std::vector<std::string> video;
    std::vector<std::string> audio;
    std::vector<std::string> container;
    // The container's options for a part of a capture, which carries its label as metadata.
    std::vector<std::string> partContainer;
    bool h264;
};

// The format named by the path's extension (any case); FatalError naming the path otherwise.
const VideoFormat& VideoFormatOf(const std::string& path);
// True when `preset` is one of the H.264 encoder's speed presets.
bool IsH264Preset(const std::string& preset);
// FatalError naming the presets unless `preset` is one of the H.264 encoder's.
void CheckH264Preset(const std::string& preset);
// "" when the encoders take video of this size (4:2:0, so both sides even, at most
// kMaxVideoSize); otherwise what is wrong with it.
std::string VideoSizeFault(PixelSize size);
// The video encoder and its settings: the format's, the preset (H.264 only) and the quality.
std::vector<std::string> VideoEncoderArguments(const VideoFormat& format, int crf, const std::string& preset);
// The stretch of the soundtrack that frames [firstFrame, firstFrame + frames) at fps cover, as
// ffmpeg's second input, the video of the first input and this sound mapped into the output.
std::vector<std::string> SoundtrackInput(const std::string& soundtrack, int64_t firstFrame, int64_t frames, int fps);

// "m:ss" for progress lines.
std::string ClockText(double seconds);
