// `lantern capture`: the piece rendered offline frame by frame, at music time frame * 1000 /
// fps (each frame on the GL state the one before left, as in playback; the first one drawn as
// a run from 0 draws it), piped as raw RGB to an ffmpeg child that encodes it together with
// the soundtrack's matching stretch. The file appears under its name only when complete:
// ffmpeg writes to a hidden name beside it, renamed at the end; a failure or Ctrl-C leaves
// nothing behind.
//
// With --part K/N it draws only the K-th of N slices of those frames, silent, into a part
// file labelled for `lantern join` (capture/capture_part.h); a part file that already holds
// that very part is kept, so a batch of parts can be run again after a failure.
#pragma once

#include "base/output_file.h"
#include "capture/capture_part.h"
#include "capture/frame_grabber.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct CaptureOptions {
    std::string output;              // .mp4, .mkv or .webm
    int fps = 60;
    OutputFrame frame;               // the video's size (both sides even) and supersampling
    std::optional<double> fromSeconds; // default: 0
    std::optional<double> toSeconds;   // default: where the piece ends itself
    int crf = 18;                    // constant-quality level of the video encoder
    // The H.264 encoder's speed preset. The fastest by default: with the encoder and the
    // renderer sharing two cores, only it lets the whole piece capture as fast as it plays;
    // the slower ones make smaller files of the same quality.
    std::string preset = "ultrafast";
    // --part K/N: draw only part `part` of `parts` (0 of 0: the whole capture).
    int part = 0;
    int parts = 0;
    bool force = false; // draw the part again even when the output holds it already
};

class StopSignals;
struct VideoFormat;

class VideoCapture {
public:
    // Everything that needs no picture is settled here, before the long start-up: the
    // options, ffmpeg on PATH, the soundtrack, and the output's folder (its hidden file is
    // made now). Ctrl-C is caught from here on. A part that the output already holds is
    // found here too (nothing is then made). FatalError with the message for the user.
    // Needs the data root and the scene table.
    explicit VideoCapture(const CaptureOptions& options);
    ~VideoCapture();
    VideoCapture(const VideoCapture&) = delete;
    VideoCapture& operator=(const VideoCapture&) = delete;

    // True when the output holds this part already and Run will only say so.
    bool KeepsExistingPart() const { return m_keepsExistingPart; }

    // Renders and encodes, with the piece started off-screen. Returns the exit code: 0; 1
    // after a message on stderr; 128 + the signal's number when interrupted.
    int Run();

private:
    int Fail(const std::string& message);
    int Interrupted();
    std::string Describe() const;
    std::vector<std::string> EncoderArguments() const;
    void RenderFirstFrame(int32_t musicMs);

    CaptureOptions m_options;
    int m_width = 0;
    int m_height = 0;
    int64_t m_firstFrame = 0;
    int64_t m_endFrame = 0; // one past the last
    FrameSlice m_drawn;     // the frames this run draws: all of them, or the part's
    std::optional<PartLabel> m_label; // a part's
    bool m_keepsExistingPart = false;
    const VideoFormat* m_format = nullptr;
    std::string m_ffmpeg;
    std::string m_soundtrack; // real path, or "" when there is none
    std::unique_ptr<StopSignals> m_stopSignals;
    // Declared after the signals: the hidden file goes before they are let go.
    std::unique_ptr<OutputFile> m_file;
};
