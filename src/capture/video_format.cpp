// Video kinds and the ffmpeg arguments they take.
#include "capture/video_format.h"

#include "base/error.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// The H.264 encoder's presets, fastest first.
constexpr const char* kH264Presets[] = {"ultrafast", "superfast", "veryfast", "faster",   "fast",
                                        "medium",    "slow",      "slower",   "veryslow", "placebo"};

std::string LowerExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace

const VideoFormat& VideoFormatOf(const std::string& path)
{
    static const std::vector<std::string> h264 = {"-c:v", "libx264", "-pix_fmt", "yuv420p"};
    static const std::vector<VideoFormat> formats = {
        {".mp4", "mp4", "h264", h264, {"-c:a", "aac", "-b:a", "192k"}, {"-movflags", "+faststart"},
         {"-movflags", "+faststart+use_metadata_tags"}, true},
        {".mkv", "matroska", "h264", h264, {"-c:a", "libopus", "-b:a", "160k"}, {}, {}, true},
        {".webm", "webm", "vp9",
         {"-c:v", "libvpx-vp9", "-b:v", "0", "-deadline", "realtime", "-cpu-used", "8", "-row-mt", "1", "-pix_fmt",
          "yuv420p"},
         {"-c:a", "libopus", "-b:a", "160k"}, {}, {}, false},
    };
    const std::string extension = LowerExtension(path);
    for (const VideoFormat& format : formats)
        if (extension == format.extension) return format;
    throw FatalError(path + ": unknown kind of video; name it .mp4, .mkv or .webm");
}

bool IsH264Preset(const std::string& preset)
{
    return std::find(std::begin(kH264Presets), std::end(kH264Presets), preset) != std::end(kH264Presets);
}

void CheckH264Preset(const std::string& preset)
{
    if (IsH264Preset(preset)) return;
    std::string names;
    for (const char* name : kH264Presets) names += std::string(names.empty() ? "" : ", ") + name;
    throw FatalError("--preset " + preset + ": not a preset of the H.264 encoder (" + names + ")");
}

std::string VideoSizeFault(PixelSize size)
{
    if (size.width > kMaxVideoSize.width || size.height > kMaxVideoSize.height)
        return StrFormat("video of at most %dx%d", kMaxVideoSize.width, kMaxVideoSize.height);
    if (size.width % 2 || size.height % 2) return "both sides must be even for 4:2:0 video";
    return {};
}

std::vector<std::string> VideoEncoderArguments(const VideoFormat& format, int crf, const std::string& preset)
{
    std::vector<std::string> arguments = format.video;
    if (format.h264) arguments.insert(arguments.end(), {"-preset", preset});
    arguments.insert(arguments.end(), {"-crf", std::to_string(crf)});
    return arguments;
}

std::vector<std::string> SoundtrackInput(const std::string& soundtrack, int64_t firstFrame, int64_t frames, int fps)
{
    return {"-ss", StrFormat("%.6f", static_cast<double>(firstFrame) / fps),
            "-t",  StrFormat("%.6f", static_cast<double>(frames) / fps),
            "-i",  soundtrack,
            "-map", "0:v:0",
            "-map", "1:a:0"};
}

std::string ClockText(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    return StrFormat("%ld:%02ld", whole / 60, whole % 60);
}
