// Video capture through an ffmpeg child.
#include "capture/video_capture.h"

#include "base/error.h"
#include "base/files.h"
#include "base/piece_schedule.h"
#include "capture/data_digest.h"
#include "capture/frame_grabber.h"
#include "capture/frame_pipe.h"
#include "capture/shot.h"
#include "capture/video_format.h"
#include "gl/renderer.h"
#include "platform/child_process.h"
#include "platform/console.h"
#include "platform/stop_signals.h"
#include "scenes/lum_scenes.h"
#include "system/file_system.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Frames between the one being drawn and the one the encoder reads.
constexpr int kPipeBuffers = 3;

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

VideoCapture::VideoCapture(const CaptureOptions& options) : m_options(options)
{
    const std::string& out = options.output;
    m_format = &VideoFormatOf(out);
    CheckH264Preset(options.preset);

    m_width = options.frame.size.width;
    m_height = options.frame.size.height;
    const std::string sizeFault = VideoSizeFault(options.frame.size);
    if (!sizeFault.empty()) throw FatalError(StrFormat("--size %dx%d: ", m_width, m_height) + sizeFault);

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
    m_drawn = {m_firstFrame, m_endFrame - m_firstFrame};

    m_ffmpeg = ChildProcess::Find("ffmpeg");
    if (m_ffmpeg.empty()) throw FatalError(ChildProcess::NotFound("ffmpeg"));

    if (options.parts > 0) {
        const int64_t frames = m_endFrame - m_firstFrame;
        if (options.parts > frames)
            throw FatalError(StrFormat("--part %d/%d: %lld frames make at most %lld parts", options.part, options.parts,
                                       static_cast<long long>(frames), static_cast<long long>(frames)));
        m_drawn = PartSlice(m_firstFrame, m_endFrame, options.part, options.parts);
        PartLabel label;
        label.version = LANTERN_VERSION;
        label.dataDigest = DataFolderDigest();
        label.renderer = ChosenRendererName();
        label.captureFirst = m_firstFrame;
        label.captureEnd = m_endFrame;
        label.fps = fps;
        label.size = options.frame.size;
        label.supersample = options.frame.supersample;
        label.codec = m_format->videoCodec;
        label.crf = options.crf;
        label.preset = m_format->h264 ? options.preset : "-";
        label.part = options.part;
        label.parts = options.parts;
        label.first = m_drawn.first;
        label.frames = m_drawn.count;
        m_label = label;

        const std::string ffprobe = ChildProcess::Find("ffprobe");
        if (ffprobe.empty()) throw FatalError(ChildProcess::NotFound("ffprobe"));
        if (!options.force && KindOfPath(out) == PathKind::File) {
            PartLabel held;
            std::string fault = CheckPartFile(ProbeVideo(ffprobe, out), held);
            if (fault.empty()) fault = SettingsDifference(held, label, "this command");
            if (fault.empty() && held.part != label.part)
                fault = StrFormat("holds part %d/%d, not %d/%d", held.part, held.parts, label.part, label.parts);
            m_keepsExistingPart = fault.empty();
            if (!m_keepsExistingPart)
                std::fprintf(stderr, "lantern capture: %s %s; drawing part %d/%d in its place\n", out.c_str(), fault.c_str(),
                             label.part, label.parts);
        }
        if (m_keepsExistingPart) return;
    } else if (FileExists("data\\soundtrack.ogg")) {
        m_soundtrack = ResolvePath("data\\soundtrack.ogg");
    } else {
        std::fprintf(stderr, "lantern capture: no %s; the video will be silent\n",
                     ResolvePath("data\\soundtrack.ogg").c_str());
    }

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
    const int64_t frames = m_drawn.count;
    const PixelSize drawn = m_options.frame.Picture();
    std::string text = StrFormat(
        "%lld frames, %dx%d at %d fps (the picture drawn at %dx%d), %.3f s from %.3f s of music",
        static_cast<long long>(frames), m_width, m_height, m_options.fps, drawn.width, drawn.height,
        static_cast<double>(frames) / m_options.fps, static_cast<double>(m_drawn.first) / m_options.fps);
    if (m_label)
        text = StrFormat("part %d/%d, frames %lld to %lld of %lld to %lld: ", m_label->part, m_label->parts,
                         static_cast<long long>(m_drawn.first), static_cast<long long>(m_drawn.first + frames - 1),
                         static_cast<long long>(m_firstFrame), static_cast<long long>(m_endFrame - 1)) +
               text;
    return text;
}

std::vector<std::string> VideoCapture::EncoderArguments() const
{
    std::vector<std::string> arguments = {"-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                          "-f", "rawvideo", "-pix_fmt", "rgb24",
                                          "-video_size", StrFormat("%dx%d", m_width, m_height),
                                          "-framerate", std::to_string(m_options.fps), "-i", "pipe:0"};
    if (!m_soundtrack.empty()) {
        const std::vector<std::string> sound = SoundtrackInput(m_soundtrack, m_drawn.first, m_drawn.count, m_options.fps);
        arguments.insert(arguments.end(), sound.begin(), sound.end());
    }
    const std::vector<std::string> video = VideoEncoderArguments(*m_format, m_options.crf, m_options.preset);
    arguments.insert(arguments.end(), video.begin(), video.end());
    if (!m_soundtrack.empty()) arguments.insert(arguments.end(), m_format->audio.begin(), m_format->audio.end());
    if (m_label) {
        arguments.insert(arguments.end(), m_format->partContainer.begin(), m_format->partContainer.end());
        arguments.insert(arguments.end(), {"-metadata", std::string(kPartLabelTag) + "=" + FormatPartLabel(*m_label)});
    } else {
        arguments.insert(arguments.end(), m_format->container.begin(), m_format->container.end());
    }
    // The hidden file has no extension to tell ffmpeg the kind of file, so it is named.
    arguments.insert(arguments.end(), {"-f", m_format->muxer, m_file->TemporaryPath()});
    return arguments;
}

void VideoCapture::RenderFirstFrame(int32_t musicMs)
{
    // A part after the first starts on the state its capture's frame before it leaves, as if
    // the capture had run on to it.
    if (m_drawn.first > m_firstFrame) RenderOfflineFrameAfterFrame(FrameMusicTime(m_drawn.first - 1, m_options.fps), musicMs);
    else RenderOfflineFrameAsPlayed(musicMs);
}

int VideoCapture::Run()
{
    if (m_keepsExistingPart) {
        std::fprintf(stderr, "lantern capture: %s holds part %d/%d of this capture already; kept (--force draws it "
                             "again)\n",
                     m_options.output.c_str(), m_label->part, m_label->parts);
        return 0;
    }
    const std::atomic<bool>& interrupted = StopSignals::Caught();
    if (interrupted) return Interrupted();
    const int fps = m_options.fps;
    const int64_t frames = m_drawn.count;

    std::unique_ptr<ChildProcess> encoder;
    try {
        encoder = std::make_unique<ChildProcess>(m_ffmpeg, EncoderArguments());
    } catch (const FatalError& error) {
        return Fail(error.what());
    }
    FrameGrabber grabber(m_options.frame);
    auto pipe = std::make_unique<FramePipe>(*encoder, static_cast<size_t>(m_width) * m_height * 3, kPipeBuffers);

    const bool progress = ErrorOutputIsTerminal();
    const std::string progressName = m_label ? StrFormat("capture part %d/%d", m_label->part, m_label->parts) : "capture";
    const auto began = std::chrono::steady_clock::now();
    auto shown = began;
    double drawingMs = 0, readingMs = 0;
    int64_t done = 0;
    ClearPieceEnd();
    for (int64_t frame = m_drawn.first; frame < m_drawn.first + frames && !interrupted; ++frame) {
        const int32_t time = FrameMusicTime(frame, fps);
        auto step = std::chrono::steady_clock::now();
        if (frame == m_drawn.first) RenderFirstFrame(time);
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
            std::fprintf(stderr, "\r%s %lld/%lld frames, %.1f fps, %s left   ", progressName.c_str(),
                         static_cast<long long>(done), static_cast<long long>(frames), rate,
                         ClockText(static_cast<double>(frames - done) / rate).c_str());
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
