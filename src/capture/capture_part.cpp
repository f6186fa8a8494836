// Part labels, slices and the reading back of part files.
#include "capture/capture_part.h"

#include "base/error.h"
#include "base/piece_schedule.h"
#include "capture/video_format.h"
#include "gl/renderer.h"
#include "platform/child_process.h"

#include <charconv>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// A whole decimal number, nothing before or after it.
template <typename Number>
bool ReadNumber(std::string_view text, Number& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}

// "A<separator>B" as two whole numbers.
template <typename Number>
bool ReadPair(std::string_view text, std::string_view separator, Number& a, Number& b)
{
    const size_t at = text.find(separator);
    return at != std::string_view::npos && ReadNumber(text.substr(0, at), a) &&
           ReadNumber(text.substr(at + separator.size()), b);
}

std::string FramesText(int64_t first, int64_t end)
{
    return StrFormat("frames %lld to %lld", static_cast<long long>(first), static_cast<long long>(end - 1));
}

// The settings a part shares with the other parts of its capture, as the options that set them
// and their values, in the order a difference is told.
std::vector<std::pair<std::string, std::string>> SharedSettings(const PartLabel& label)
{
    return {
        {"lantern", label.version},
        {"the data of digest", label.dataDigest.substr(0, 16)},
        {"--renderer", label.renderer},
        {"--from/--to", FramesText(label.captureFirst, label.captureEnd)},
        {"--fps", std::to_string(label.fps)},
        {"--size", StrFormat("%dx%d", label.size.width, label.size.height)},
        {"--supersample", std::to_string(label.supersample)},
        {"video", label.codec},
        {"--crf", std::to_string(label.crf)},
        {"--preset", label.preset},
        {"--part K/", std::to_string(label.parts)},
    };
}

} // namespace

FrameSlice PartSlice(int64_t begin, int64_t end, int part, int parts)
{
    const int64_t total = end - begin;
    const int64_t first = begin + (part - 1) * total / parts;
    return {first, begin + part * total / parts - first};
}

int64_t PieceEndFrame(int fps)
{
    return (static_cast<int64_t>(PieceEndMs()) * fps + 999) / 1000;
}

std::string ParsePartNumber(const std::string& text, int& part, int& parts)
{
    if (!ReadPair(text, "/", part, parts)) return "write it as K/N, part K of N (1/4 to 4/4)";
    if (parts < 1) return "N must be 1 or more";
    if (part < 1 || part > parts) return StrFormat("K counts the parts from 1 to %d", parts);
    return {};
}

std::string FormatPartLabel(const PartLabel& label)
{
    return StrFormat("version=%s data=%s renderer=%s capture=%lld..%lld fps=%d size=%dx%d supersample=%d codec=%s "
                     "crf=%d preset=%s part=%d/%d slice=%lld+%lld",
                     label.version.c_str(), label.dataDigest.c_str(), label.renderer.c_str(),
                     static_cast<long long>(label.captureFirst), static_cast<long long>(label.captureEnd), label.fps,
                     label.size.width, label.size.height, label.supersample, label.codec.c_str(), label.crf,
                     label.preset.c_str(), label.part, label.parts, static_cast<long long>(label.first),
                     static_cast<long long>(label.frames));
}

std::string ParsePartLabel(const std::string& text, PartLabel& label)
{
    std::map<std::string, std::string> fields;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const size_t equals = word.find('=');
        if (equals == std::string::npos || equals == 0) return StrFormat("\"%s\" is no key=value", word.c_str());
        if (!fields.emplace(word.substr(0, equals), word.substr(equals + 1)).second)
            return StrFormat("\"%s\" is given twice", word.substr(0, equals).c_str());
    }
    for (const char* key : {"version", "data", "renderer", "capture", "fps", "size", "supersample", "codec", "crf",
                            "preset", "part", "slice"})
        if (fields[key].empty()) return std::string("no ") + key;
    const auto field = [&](const char* key) { return std::string(key) + "=" + fields[key]; };
    PartLabel read;
    read.version = fields["version"];
    read.dataDigest = fields["data"];
    read.renderer = fields["renderer"];
    read.codec = fields["codec"];
    read.preset = fields["preset"];
    if (read.dataDigest.size() != 64 || read.dataDigest.find_first_not_of("0123456789abcdef") != std::string::npos)
        return field("data") + " is no SHA-256 digest";
    if (!RendererNamed(read.renderer)) return field("renderer") + " is no renderer (fixed or shaders)";
    if (read.preset != "-" && !IsH264Preset(read.preset)) return field("preset") + " is no preset of the H.264 encoder";

    if (!ReadNumber(fields["fps"], read.fps) || read.fps < 1 || read.fps > kMaxCaptureFps)
        return field("fps") + StrFormat(" is no frame rate of a capture (1 to %d)", kMaxCaptureFps);
    // The piece bounds every count of frames, and with it every sum below.
    const int64_t pieceEnd = PieceEndFrame(read.fps);
    if (!ParsePartNumber(fields["part"], read.part, read.parts).empty())
        return field("part") + " is no part number";
    if (read.parts > pieceEnd)
        return field("part") + StrFormat(": the piece has %lld frames at %d fps, and a capture no more parts than "
                                         "frames",
                                         static_cast<long long>(pieceEnd), read.fps);
    if (!ReadPair(fields["capture"], "..", read.captureFirst, read.captureEnd) || read.captureFirst < 0 ||
        read.captureEnd <= read.captureFirst)
        return field("capture") + " is no range of frames";
    if (read.captureEnd > pieceEnd)
        return field("capture") + StrFormat(" goes past the piece's end: its last frame at %d fps is %lld", read.fps,
                                            static_cast<long long>(pieceEnd - 1));
    const int64_t captured = read.captureEnd - read.captureFirst;
    if (read.parts > captured)
        return field("part") + StrFormat(": %lld frames make at most %lld parts", static_cast<long long>(captured),
                                         static_cast<long long>(captured));
    std::string sizeFault = ParsePixelSize(fields["size"], read.size);
    if (sizeFault.empty()) sizeFault = VideoSizeFault(read.size);
    if (!sizeFault.empty()) return field("size") + " is no size of a capture (" + sizeFault + ")";
    if (!ReadNumber(fields["supersample"], read.supersample) || read.supersample < 1 ||
        read.supersample > kMaxSupersample)
        return field("supersample") + StrFormat(" is no factor (1 to %d)", kMaxSupersample);
    if (!ReadNumber(fields["crf"], read.crf) || read.crf < 0 || read.crf > kMaxCaptureCrf)
        return field("crf") + StrFormat(" is no quality level (0 to %d)", kMaxCaptureCrf);
    if (!ReadPair(fields["slice"], "+", read.first, read.frames)) return field("slice") + " is no slice";
    const FrameSlice slice = PartSlice(read.captureFirst, read.captureEnd, read.part, read.parts);
    if (slice.first != read.first || slice.count != read.frames)
        return field("slice") + StrFormat(" is not part %d/%d of %s", read.part, read.parts,
                                          FramesText(read.captureFirst, read.captureEnd).c_str());
    label = read;
    return {};
}

std::string SettingsDifference(const PartLabel& label, const PartLabel& other, const std::string& otherName)
{
    const auto mine = SharedSettings(label), theirs = SharedSettings(other);
    for (size_t i = 0; i < mine.size(); ++i)
        if (mine[i].second != theirs[i].second)
            return "made with " + mine[i].first + " " + mine[i].second + ", " + otherName + " with " +
                   theirs[i].first + " " + theirs[i].second;
    if (label.dataDigest != other.dataDigest) // the shown beginnings agree, the rest does not
        return "made from other data than " + otherName;
    return {};
}

ProbedVideo ProbeVideo(const std::string& ffprobe, const std::string& path)
{
    ChildProcess probe(ffprobe, {"-v", "error", "-count_packets", "-select_streams", "v:0", "-show_entries",
                                 "stream=codec_name,width,height,r_frame_rate,nb_read_packets:format_tags=" +
                                     std::string(kPartLabelTag),
                                 "-of", "default=noprint_wrappers=1", path});
    const std::string ended = probe.Wait(nullptr);
    ProbedVideo video;
    std::istringstream lines(probe.Output());
    std::string line;
    const std::string tag = "tag:" + std::string(kPartLabelTag) + "=";
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t equals = line.find('=');
        const std::string key = line.substr(0, equals == std::string::npos ? 0 : equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        std::string lowerKey = key;
        for (char& c : lowerKey) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (key == "codec_name") video.codec = value;
        else if (key == "width") ReadNumber(value, video.size.width);
        else if (key == "height") ReadNumber(value, video.size.height);
        else if (key == "r_frame_rate") video.frameRate = value;
        else if (key == "nb_read_packets") ReadNumber(value, video.packets);
        else if (lowerKey + "=" == tag) video.label = value;
        else if (!line.empty()) video.problems += (video.problems.empty() ? "" : "; ") + line;
    }
    if (!ended.empty()) {
        video.packets = -1;
        if (video.problems.empty()) video.problems = "ffprobe: " + ended;
    }
    return video;
}

std::string CheckPartFile(const ProbedVideo& video, PartLabel& label)
{
    if (video.packets < 0) return "cannot be read as video (" + video.problems + ")";
    if (video.label.empty()) return "holds no part label: it was not written by lantern capture --part";
    const std::string fault = ParsePartLabel(video.label, label);
    if (!fault.empty()) return "its part label is damaged (" + fault + ")";
    if (video.codec != label.codec)
        return "holds " + (video.codec.empty() ? std::string("no") : video.codec) + " video, its label says " + label.codec;
    if (video.size != label.size)
        return StrFormat("holds video of %dx%d, its label says %dx%d", video.size.width, video.size.height,
                         label.size.width, label.size.height);
    if (video.frameRate != std::to_string(label.fps) + "/1")
        return StrFormat("holds video at %s frames a second, its label says %d", video.frameRate.c_str(), label.fps);
    if (video.packets != label.frames)
        return StrFormat("holds %lld of the %lld frames of its slice: cut short or damaged",
                         static_cast<long long>(video.packets), static_cast<long long>(label.frames));
    if (!video.problems.empty()) return "is damaged (" + video.problems + ")";
    return {};
}
