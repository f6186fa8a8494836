// Video capture through an ffmpeg child.
#include "capture/video_capture.h"

#include "base/error.h"
#include "base/files.h"
#include "base/piece_schedule.h"
#include "capture/frame_grabber.h"
#include "capture/frame_pipe.h"
#include "capture/shot.h"
#include "platform/child_process.h"
#include "platform/console.h"
#include "platform/stop_signals.h"
#include "scenes/lum_scenes.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// What the video encoders take.
constexpr int kMaxWidth = 7680, kMaxHeight = 4320;
// Frames between the one being drawn and the one the encoder reads.
constexpr int kPipeBuffers = 3;

std::string LowerExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// "m:ss" for the progress line.
std::string Clock(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    return StrFormat("%ld:%02ld", whole / 60, whole % 60);
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// A kind of output file: its muxer and the encoders' options (the quality level follows).
struct VideoFormat {
    const char* extension;
    const char* muxer;
    std::vector<std::string> video;
    std::vector<std::string> audio;
    std::vector<std::string> container;
    bool h264;
};

namespace {

const VideoFormat* FindFormat(const std::string& extension)
{
    static const std::vector<std::string> h264 = {"-c:v", "libx264", "-pix_fmt", "yuv420p"};
    static const std::vector<VideoFormat> formats = {
        {".mp4", "mp4", h264, {"-c:a", "aac", "-b:a", "192k"}, {"-movflags", "+faststart"}, true},
        {".mkv", "matroska", h264, {"-c:a", "libopus", "-b:a", "160k"}, {}, true},
        {".webm", "webm",
         {"-c:v", "libvpx-vp9", "-b:v", "0", "-deadline", "realtime", "-cpu-used", "8", "-row-mt", "1", "-pix_fmt",
          "yuv420p"},
         {"-c:a", "libopus", "-b:a", "160k"}, {}, false},
    };
    for (const VideoFormat& format : formats)
        if (extension == format.extension) return &format;
    return nullptr;
}

// The H.264 encoder's presets, fastest first.
constexpr const char* kH264Presets[] = {"ultrafast", "superfast", "veryfast", "faster",   "fast",
                                        "medium",    "slow",      "slower",   "veryslow", "placebo"};

} // namespace

VideoCapture::VideoCapture(const CaptureOptions& options) : m_options(options)
{
    const std::string& out = options.output;
    m_format = FindFormat(LowerExtension(out));
    if (!m_format) throw FatalError(out + ": unknown kind of video; name it .mp4, .mkv or .webm");
    if (std::find(std::begin(kH264Presets), std::end(kH264Presets), options.preset) == std::end(kH264Presets)) {
        std::string names;
        for (const char* name : kH264Presets) names += std::string(names.empty() ? "" : ", ") + name;
        throw FatalError("--preset " + options.preset + ": not a preset of the H.264 encoder (" + names + ")");
    }

    m_width = options.frame.size.width;
    m_height = options.frame.size.height;
    const std::string size = StrFormat("--size %dx%d", m_width, m_height);
    if (m_width > kMaxWidth || m_height > kMaxHeight)
        throw FatalError(StrFormat("%s: video of at most %dx%d", size.c_str(), kMaxWidth, kMaxHeight));
    if (m_width % 2 || m_height % 2) throw FatalError(size + ": both sides must be even for 4:2:0 video");

    const int fps = options.fps;
    const double pieceEnd = PieceEndMs() / 1000.0;
    const double from = options.fromSeconds.value_or(0.0);
    if (options.toSeconds && *options.toSeconds > pieceEnd)
        throw FatalError(StrFormat("--to %g: the last scene ends at %.3f s", *options.toSeconds, pieceEnd));
    m_firstFrame = (std::llround(from * 1000.0) * fps + 999) / 1000;
    m_endFrame = options.toSeconds ? (std::llround(*options.toSeconds * 1000.0) * fps + 999) / 1000
                                   : PlayedFrameCount(fps);
    if (m_endFrame <= m_firstFrame)
        throw FatalError(StrFormat("no frame to capture from %.3f s to %.3f s", from,
                                   static_cast<double>(m_endFrame) / fps));

    m_ffmpeg = ChildProcess::Find("ffmpeg");
    if (m_ffmpeg.empty()) throw FatalError(ChildProcess::NotFound("ffmpeg"));
    if (FileExists("data\\soundtrack.ogg")) m_soundtrack = ResolvePath("data\\soundtrack.ogg");
    else std::fprintf(stderr, "lantern capture: no %s; the video will be silent\n", ResolvePath("data\\soundtrack.ogg").c_str());

    // Caught before the hidden file exists, so that no Ctrl-C can leave it behind.
    m_stopSignals = std::make_unique<StopSignals>();
    m_file = std::make_unique<OutputFile>(out);
}

VideoCapture::~VideoCapture() = default;

int VideoCapture::Fail(const std::string& message)
{
    std::fprintf(stderr, "lantern capture: %s; %s not written\n", message.c_str(), m_options.output.c_str());
    return 1;
}

int VideoCapture::Interrupted()
{
    std::fprintf(stderr, "lantern capture: interrupted; %s not written\n", m_options.output.c_str());
    return StopSignals::ExitCode();
}

std::string VideoCapture::Describe() const
{
    const int64_t frames = m_endFrame - m_firstFrame;
    const PixelSize drawn = m_options.frame.Picture();
    return StrFormat("%lld frames, %dx%d at %d fps (the picture drawn at %dx%d), %.3f s from %.3f s of music",
                     static_cast<long long>(frames), m_width, m_height, m_options.fps, drawn.width, drawn.height,
                     static_cast<double>(frames) / m_options.fps, static_cast<double>(m_firstFrame) / m_options.fps);
}

int VideoCapture::Run()
{
    const std::atomic<bool>& interrupted = StopSignals::Caught();
    if (interrupted) return Interrupted();
    const int fps = m_options.fps;
    const int64_t frames = m_endFrame - m_firstFrame;
    const std::string start = StrFormat("%.6f", static_cast<double>(m_firstFrame) / fps);
    const std::string length = StrFormat("%.6f", static_cast<double>(frames) / fps);

    std::vector<std::string> arguments = {"-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                          "-f", "rawvideo", "-pix_fmt", "rgb24",
                                          "-video_size", StrFormat("%dx%d", m_width, m_height),
                                          "-framerate", std::to_string(fps), "-i", "pipe:0"};
    if (!m_soundtrack.empty())
        arguments.insert(arguments.end(), {"-ss", start, "-t", length, "-i", m_soundtrack, "-map", "0:v:0", "-map", "1:a:0"});
    arguments.insert(arguments.end(), m_format->video.begin(), m_format->video.end());
    if (m_format->h264) arguments.insert(arguments.end(), {"-preset", m_options.preset});
    arguments.insert(arguments.end(), {"-crf", std::to_string(m_options.crf)});
    if (!m_soundtrack.empty()) arguments.insert(arguments.end(), m_format->audio.begin(), m_format->audio.end());
    arguments.insert(arguments.end(), m_format->container.begin(), m_format->container.end());
    // The hidden file has no extension to tell ffmpeg the kind of file, so it is named.
    arguments.insert(arguments.end(), {"-f", m_format->muxer, m_file->TemporaryPath()});

    std::unique_ptr<ChildProcess> encoder;
    try {
        encoder = std::make_unique<ChildProcess>(m_ffmpeg, arguments);
    } catch (const FatalError& error) {
        return Fail(error.what());
    }
    FrameGrabber grabber(m_options.frame);
    auto pipe = std::make_unique<FramePipe>(*encoder, static_cast<size_t>(m_width) * m_height * 3, kPipeBuffers);

    const bool progress = ErrorOutputIsTerminal();
    const auto began = std::chrono::steady_clock::now();
    auto shown = began;
    double drawingMs = 0, readingMs = 0;
    int64_t done = 0;
    ClearPieceEnd();
    for (int64_t frame = m_firstFrame; frame < m_endFrame && !interrupted; ++frame) {
        const int32_t time = FrameMusicTime(frame, fps);
        auto step = std::chrono::steady_clock::now();
        if (frame == m_firstFrame) RenderOfflineFrameAsPlayed(time);
        else RenderOfflineFrame(time);
        drawingMs += MsSince(step);
        uint8_t* buffer = pipe->NextBuffer(interrupted);
        if (!buffer) break;
        step = std::chrono::steady_clock::now();
        grabber.Read(buffer);
        readingMs += MsSince(step);
        pipe->Submit();
        ++done;
        if (progress && MsSince(shown) > 250.0) {
            shown = std::chrono::steady_clock::now();
            const double rate = static_cast<double>(done) * 1000.0 / MsSince(began);
            std::fprintf(stderr, "\rcapture %lld/%lld frames, %.1f fps, %s left   ", static_cast<long long>(done),
                         static_cast<long long>(frames), rate, Clock(static_cast<double>(frames - done) / rate).c_str());
        }
    }
    if (progress) std::fprintf(stderr, "\n");
    ClearPieceEnd();

    const bool written = done == frames && pipe->Drain(interrupted);
    const std::string pipeFailure = pipe->Failure();
    const double waitedMs = pipe->WaitedMs();
    if (interrupted) {
        encoder->Kill();
        pipe.reset();
        return Interrupted();
    }
    // A reader that stopped reading has ended or will: its status says why.
    if (!written) encoder->CloseInput();
    pipe.reset();
    const std::string ended = encoder->Wait(&interrupted);
    if (interrupted) return Interrupted();
    if (!ended.empty() || !written) {
        std::string message = "ffmpeg (" + m_ffmpeg + ") failed: " + (ended.empty() ? "it stopped reading frames" : ended);
        if (!pipeFailure.empty()) message += " (writing frames: " + pipeFailure + ")";
        const std::string output = encoder->Output();
        if (!output.empty()) message += "\n" + output;
        return Fail(message);
    }
    try {
        m_file->Commit();
    } catch (const FatalError& error) {
        return Fail(error.what());
    }
    const double seconds = MsSince(began) / 1000.0;
    const double count = static_cast<double>(frames);
    std::fprintf(stderr,
                 "lantern capture: wrote %s: %s, in %.1f s (%.2f times real time); a frame took %.2f ms drawing, "
                 "%.2f ms reading back, %.2f ms waiting for ffmpeg\n",
                 m_options.output.c_str(), Describe().c_str(), seconds,
                 static_cast<double>(frames) / fps / seconds, drawingMs / count, readingMs / count, waitedMs / count);
    return 0;
}
