// Joining the parts of a capture.
#include "capture/video_join.h"

#include "base/error.h"
#include "base/files.h"
#include "base/output_file.h"
#include "capture/capture_part.h"
#include "capture/data_digest.h"
#include "capture/video_format.h"
#include "platform/child_process.h"
#include "platform/stop_signals.h"
#include "system/file_system.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

struct PartFile {
    std::string path;
    PartLabel label;
};

// A refusal: the message for the user, naming the part (or the output) and the fault.
struct Refusal {
    std::string message;
};

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// One concat-script line naming a file: quoted, with quotes inside closed and reopened.
std::string ScriptFileLine(const std::string& path)
{
    std::string quoted = "file:" + fs::absolute(path).string();
    std::string line = "file '";
    for (char c : quoted) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return line + "'\n";
}

// Every part file read back and checked against its label, then against the others and this
// program and its data: the parts in order of their number. Refusal when one fails.
std::vector<PartFile> CheckParts(const JoinOptions& options, const VideoFormat& format, const std::string& ffprobe)
{
    if (options.parts.empty()) throw Refusal{"no part given"};
    std::vector<PartFile> parts;
    for (const std::string& path : options.parts) {
        const PathKind kind = KindOfPath(path);
        if (kind != PathKind::File)
            throw Refusal{path + ": " + (kind == PathKind::Missing ? "no such file" : "not a regular file")};
        if (SameFile(path, options.output)) throw Refusal{path + ": is the output too; name another"};
        const VideoFormat& partFormat = VideoFormatOf(path);
        if (&partFormat != &format)
            throw Refusal{path + ": a " + partFormat.extension + " file; the parts of a " + format.extension + " are " +
                          format.extension + " files (each container times its frames its own way)"};
        PartLabel label;
        const std::string fault = CheckPartFile(ProbeVideo(ffprobe, path), label);
        if (!fault.empty()) throw Refusal{path + ": " + fault};
        parts.push_back({path, label});
    }

    // The settings most parts agree on are the capture's; a part that differs is the odd one.
    size_t reference = 0, mostAgreeing = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        size_t agreeing = 0;
        for (const PartFile& other : parts) agreeing += SettingsDifference(parts[i].label, other.label, "").empty();
        if (agreeing > mostAgreeing) {
            mostAgreeing = agreeing;
            reference = i;
        }
    }
    const PartFile& model = parts[reference];
    for (const PartFile& part : parts) {
        const std::string difference = SettingsDifference(part.label, model.label, model.path);
        if (!difference.empty()) throw Refusal{part.path + ": " + difference};
    }
    if (model.label.version != LANTERN_VERSION)
        throw Refusal{model.path + ": drawn by lantern " + model.label.version + "; this is lantern " LANTERN_VERSION
                      ", which joins only the parts it draws"};

    // Every part once. The parts given are sorted by their number, not put into slots counted
    // by a label's N, which may say anything: a part given twice lands beside its twin.
    std::vector<const PartFile*> byNumber;
    for (const PartFile& part : parts) byNumber.push_back(&part);
    std::stable_sort(byNumber.begin(), byNumber.end(),
                     [](const PartFile* a, const PartFile* b) { return a->label.part < b->label.part; });
    for (size_t i = 1; i < byNumber.size(); ++i) {
        const PartFile& part = *byNumber[i];
        if (part.label.part == byNumber[i - 1]->label.part)
            throw Refusal{part.path + StrFormat(": part %d/%d again (", part.label.part, part.label.parts) +
                          byNumber[i - 1]->path + " holds it too)"};
    }
    // No part twice and each between 1 and N: as many as N means every one is there.
    const int partCount = model.label.parts;
    const size_t given = byNumber.size();
    if (given < static_cast<size_t>(partCount)) {
        int missing = 1;
        while (static_cast<size_t>(missing) <= given && byNumber[missing - 1]->label.part == missing) ++missing;
        const FrameSlice slice = PartSlice(model.label.captureFirst, model.label.captureEnd, missing, partCount);
        throw Refusal{model.path + StrFormat(": its label says part %d of %d, but %zu %s given; part %d/%d (frames "
                                             "%lld to %lld) is missing: none of the files given holds it",
                                             model.label.part, partCount, given, given == 1 ? "part was" : "parts were",
                                             missing, partCount, static_cast<long long>(slice.first),
                                             static_cast<long long>(slice.first + slice.count - 1))};
    }

    const std::string digest = DataFolderDigest();
    if (digest != model.label.dataDigest)
        throw Refusal{"the parts were drawn from other data than " + ResolvePath("Data") + " (digest " +
                      model.label.dataDigest.substr(0, 16) + ", not " + digest.substr(0, 16) +
                      "): join with the --data they were drawn from"};

    std::vector<PartFile> ordered;
    for (const PartFile* part : byNumber) ordered.push_back(*part);
    return ordered;
}

int Refuse(const std::string& message, const std::string& output)
{
    std::fprintf(stderr, "lantern join: %s; %s not written\n", message.c_str(), output.c_str());
    return 1;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int JoinParts(const JoinOptions& options)
{
    const auto began = std::chrono::steady_clock::now();
    const std::string& output = options.output;
    std::vector<PartFile> parts;
    std::string ffmpeg, ffprobe;
    const VideoFormat* format = nullptr;
    try {
        format = &VideoFormatOf(output);
        CheckOutputPath(output);
        ffmpeg = ChildProcess::Find("ffmpeg");
        if (ffmpeg.empty()) throw FatalError(ChildProcess::NotFound("ffmpeg"));
        ffprobe = ChildProcess::Find("ffprobe");
        if (ffprobe.empty()) throw FatalError(ChildProcess::NotFound("ffprobe"));
        parts = CheckParts(options, *format, ffprobe);
    } catch (const Refusal& refusal) {
        return Refuse(refusal.message, output);
    } catch (const FatalError& error) {
        return Refuse(error.what(), output);
    }
    const PartLabel& capture = parts.front().label;
    const int64_t frames = capture.captureEnd - capture.captureFirst;

    std::string soundtrack;
    if (FileExists("data\\soundtrack.ogg")) soundtrack = ResolvePath("data\\soundtrack.ogg");
    else std::fprintf(stderr, "lantern join: no %s; the video will be silent\n", ResolvePath("data\\soundtrack.ogg").c_str());

    // Caught before the hidden file exists, so that no Ctrl-C can leave it behind.
    StopSignals stopSignals;
    const std::atomic<bool>& interrupted = StopSignals::Caught();
    std::unique_ptr<OutputFile> file;
    try {
        file = std::make_unique<OutputFile>(output);
    } catch (const FatalError& error) {
        return Refuse(error.what(), output);
    }

    // The list of parts goes to the concat reader on its standard input, each with its exact
    // length so that the frames after it keep their times.
    std::vector<std::string> arguments = {"-hide_banner", "-loglevel", "error", "-y", "-protocol_whitelist", "file,pipe",
                                          "-f", "concat", "-safe", "0", "-i", "pipe:0"};
    if (!soundtrack.empty()) {
        const std::vector<std::string> sound = SoundtrackInput(soundtrack, capture.captureFirst, frames, capture.fps);
        arguments.insert(arguments.end(), sound.begin(), sound.end());
    } else {
        arguments.insert(arguments.end(), {"-map", "0:v:0"});
    }
    // The concat reader times each part's frames from the sum of the lengths before it, which
    // a container that counts in milliseconds rounds otherwise than one frame count from the
    // start: each time is put back on the frame it stands for, as a capture in one piece has it.
    const auto onFrame = [&](const char* time) {
        return StrFormat("if(eq(%s\\,NOPTS)\\,NOPTS\\,round(round(%s*TB*%d)/(%d*TB)))", time, time, capture.fps,
                         capture.fps);
    };
    arguments.insert(arguments.end(), {"-c:v", "copy", "-bsf:v", "setts=pts=" + onFrame("PTS") + ":dts=" + onFrame("DTS")});
    if (!soundtrack.empty()) arguments.insert(arguments.end(), format->audio.begin(), format->audio.end());
    // The parts' labels stay with the parts: the whole is no part.
    arguments.insert(arguments.end(), {"-map_metadata", "-1"});
    arguments.insert(arguments.end(), format->container.begin(), format->container.end());
    arguments.insert(arguments.end(), {"-f", format->muxer, file->TemporaryPath()});

    std::string script = "ffconcat version 1.0\n";
    for (const PartFile& part : parts)
        script += ScriptFileLine(part.path) + StrFormat("duration %.6f\n", static_cast<double>(part.label.frames) / capture.fps);

    std::string failure;
    try {
        ChildProcess joiner(ffmpeg, arguments);
        std::string writing;
        joiner.WriteInput(reinterpret_cast<const uint8_t*>(script.data()), script.size(), writing);
        const std::string ended = joiner.Wait(&interrupted);
        if (!ended.empty()) failure = "ffmpeg (" + ffmpeg + ") failed: " + ended + "\n" + joiner.Output();
    } catch (const FatalError& error) {
        failure = error.what();
    }
    if (interrupted) {
        std::fprintf(stderr, "lantern join: interrupted; %s not written\n", output.c_str());
        return StopSignals::ExitCode();
    }
    if (failure.empty()) {
        const ProbedVideo joined = ProbeVideo(ffprobe, file->TemporaryPath());
        if (joined.packets != frames)
            failure = StrFormat("ffmpeg wrote %lld of the %lld frames", static_cast<long long>(joined.packets),
                                static_cast<long long>(frames));
    }
    try {
        if (failure.empty()) file->Commit();
    } catch (const FatalError& error) {
        failure = error.what();
    }
    if (!failure.empty()) return Refuse(failure, output);
    std::fprintf(stderr,
                 "lantern join: wrote %s: %lld frames from %d parts, %dx%d at %d fps, %.3f s from %.3f s of music, "
                 "in %.1f s\n",
                 output.c_str(), static_cast<long long>(frames), capture.parts, capture.size.width,
                 capture.size.height, capture.fps, static_cast<double>(frames) / capture.fps,
                 static_cast<double>(capture.captureFirst) / capture.fps, SecondsSince(began));
    return 0;
}
