// A capture in parts: `capture --part K/N` draws the K-th of N contiguous slices of the
// frames, and `join` puts the N part files together. Each part file carries a label (the
// container's metadata tag "lantern_part") that says what it is a part of: the program's
// version, the data folder's digest, every setting that changes its frames or their encoding,
// K, N, and its own first frame and frame count. This unit writes and reads the labels, cuts
// the slices, and reads a part file back with ffprobe to check it against its label.
#pragma once

#include "base/picture_size.h"

#include <cstdint>
#include <string>

// The frames [first, first + count) of part `part` of `parts` of the frames [begin, end): as
// GNU split cuts N chunks, part K starts at begin + (K - 1) * total / N. Every frame lies in
// exactly one part; none is empty while parts <= end - begin.
struct FrameSlice {
    int64_t first = 0;
    int64_t count = 0;
};
FrameSlice PartSlice(int64_t begin, int64_t end, int part, int parts);

// One past the last frame that a capture at fps can hold: the frame in which the last scene
// ends, as capture counts frames (--to at most the piece's end).
int64_t PieceEndFrame(int fps);

// "K/N" as --part takes it: "" with part and parts set, or what is wrong with it.
std::string ParsePartNumber(const std::string& text, int& part, int& parts);

struct PartLabel {
    std::string version;    // the program's
    std::string dataDigest; // DataFolderDigest() of the data the frames were drawn from
    std::string renderer;   // the GL path the frames were drawn with
    int64_t captureFirst = 0, captureEnd = 0; // the whole capture's frames, end excluded
    int fps = 0;
    PixelSize size{0, 0};
    int supersample = 0;
    std::string codec; // the video stream's codec, as ffprobe names it
    int crf = 0;
    std::string preset; // "-" where the encoder takes none (VP9)
    int part = 0, parts = 0;
    int64_t first = 0, frames = 0; // this part's slice
};

// The metadata tag the label is written under.
inline constexpr const char* kPartLabelTag = "lantern_part";

// One line of "key=value" words.
std::string FormatPartLabel(const PartLabel& label);
// "" with the label set, or what is wrong with the text, naming the field. A label comes from
// a file anyone may have written, so every number is held to what a capture can make before
// anything is computed or sized from it: whole, in the range the command line takes, the
// range of frames inside the piece, K <= N <= its frame count, and the slice exactly part K's.
std::string ParsePartLabel(const std::string& text, PartLabel& label);

// The first setting (everything but the part's own number and slice) on which `label`
// differs from `other`, as "made with --size 800x600, <otherName> with 640x480"; "" when they
// agree.
std::string SettingsDifference(const PartLabel& label, const PartLabel& other, const std::string& otherName);

// What ffprobe finds in a video file, its video stream's packets counted by reading them all.
struct ProbedVideo {
    std::string label; // the part label tag, "" when there is none
    std::string codec;
    PixelSize size{0, 0};
    std::string frameRate; // "60/1"
    int64_t packets = -1;
    std::string problems; // what ffprobe reported while reading (a damaged or cut file)
};
// Runs ffprobe (its full path) on the file; FatalError when it cannot run or cannot read the
// file at all, with what it said.
ProbedVideo ProbeVideo(const std::string& ffprobe, const std::string& path);

// "" when the file holds a whole part: a label that reads, which is set into `label`, a
// video stream of the codec, size and rate it names, read to its end without a fault and
// holding exactly the frames of its slice of the capture. Otherwise what is wrong.
std::string CheckPartFile(const ProbedVideo& video, PartLabel& label);
