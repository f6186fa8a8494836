// lantern: plays "the hollow lantern of rust" in step with its soundtrack.
//
//   lantern [--windowed] [--headless] [--size WxH|native] [--data DIR] [--start SECONDS]
//           [--av-offset MS] [--log] [--dev] [--renderer fixed|shaders]
//   lantern shot MS OUT.png [--loader | --scene NAME] [--size WxH] [--supersample N] [--data DIR]
//                           [--renderer fixed|shaders]
//   lantern bench [--frames N] [--passes N] [--scene NAME]... [--json] [--size WxH] [--data DIR]
//                 [--renderer fixed|shaders|fixed,shaders]
//   lantern capture OUT [--fps N] [--size WxH] [--supersample N] [--from S] [--to S] [--crf Q] [--preset P]
//                       [--part K/N [--force]] [--data DIR] [--renderer fixed|shaders]
//   lantern join OUT PART... [--data DIR]
//   lantern sheet OUT.png [--every MS] [--columns C] [--from S] [--to S] [--size WxH] [--supersample N]
//                         [--data DIR] [--renderer fixed|shaders]
#include "app/data_folder.h"
#include "app/globals.h"
#include "app/glwindow.h"
#include "app/offline.h"
#include "app/startup.h"
#include "capture/capture_part.h"
#include "capture/contact_sheet.h"
#include "capture/frame_bench.h"
#include "capture/shot.h"
#include "capture/video_capture.h"
#include "capture/video_format.h"
#include "capture/video_join.h"
#include "base/command_line_manual.h"
#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "base/output_file.h"
#include "base/picture_size.h"
#include "gl/renderer.h"
#include "platform/console.h"
#include "platform/page.h"
#include "platform/platform_start.h"
#include "platform/window.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

// "title, intro, ...": the names --scene takes.
std::string SceneNameList()
{
    std::string names;
    for (std::string_view name : SceneClassNames) names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

// The size options of a command as given: --size (empty when not given) and --supersample.
struct SizeOptions {
    std::string size;
    int supersample = 1;
};

// A command's --size and --supersample settled before anything else is made: the output's
// size parsed, the picture it needs (its largest 4:3 area, drawn `supersample` times larger)
// made the picture's size, and the options kept to name them in messages. False, after a
// message on stderr, when --size is no size.
bool SettlePictureSize(const char* command, const SizeOptions& options, OutputFrame& frame)
{
    if (!options.size.empty()) {
        const std::string fault = ParsePixelSize(options.size, frame.size);
        if (!fault.empty()) {
            std::fprintf(stderr, "lantern%s%s: --size %s: %s\n", *command ? " " : "", command, options.size.c_str(),
                         fault.c_str());
            return false;
        }
        Options.pictureOption = "--size " + options.size;
    }
    frame.supersample = options.supersample;
    if (frame.supersample > 1)
        Options.pictureOption += (Options.pictureOption.empty() ? "" : " ") + std::string("--supersample ") +
                                 std::to_string(frame.supersample);
    SetPictureSize(frame.Picture());
    return true;
}

// One scene object alone at ms of its own span, nothing drawn over it.
int WriteSceneShot(const std::string& name, int32_t ms, const std::string& pngPath, const OutputFrame& frame)
{
    lum_genericscene* scene = FindSceneObjectSpanning(name, ms);
    if (!scene) throw FatalError(StrFormat("no %s scene was made", name.c_str()));
    const int64_t span = static_cast<int64_t>(scene->EndTime) - scene->StartTime;
    if (ms >= span) {
        std::fprintf(stderr, "lantern: %d ms lies outside the span of %s (0 to %lld ms)\n", ms, name.c_str(),
                     static_cast<long long>(span - 1));
        return 1;
    }
    RenderSceneOffline(*scene, ms);
    return WriteFramePng(pngPath, frame);
}

// Options, the picture's size, ffmpeg and the output are settled before the start-up; a fault
// in them is the user's to mend, told on stderr. A fault of the data ends as any start-up does.
int Capture(const CaptureOptions& options)
{
    std::unique_ptr<VideoCapture> capture;
    try {
        capture = std::make_unique<VideoCapture>(options);
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern capture: %s\n", error.what());
        return 1;
    }
    if (!capture->KeepsExistingPart()) StartOffline();
    return capture->Run();
}

int Sheet(const SheetOptions& options)
{
    std::unique_ptr<ContactSheet> sheet;
    try {
        sheet = std::make_unique<ContactSheet>(options);
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern sheet: %s\n", error.what());
        return 1;
    }
    StartOffline();
    return sheet->Run();
}

// The off-screen frame of an offline command, opened before its output is made: a picture too
// large for the driver or the machine is the user's to mend, told on stderr.
bool OpenFrameFor(const char* command)
{
    try {
        OpenOfflineFrame();
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern %s: %s\n", command, error.what());
        return false;
    }
    return true;
}

int ReportFatal(const char* message, bool alreadyShown, bool playing)
{
    // A box shown already may have said only that something broke ("CORRUPTED GEOX
    // FILE!!!"); the message names the file and the fault.
    if (alreadyShown) {
        std::fprintf(stderr, "lantern: %s\n", message);
        return 1;
    }
    // A fault found before the window opened (no data anywhere) still reaches a player who
    // started the piece from a menu or a file manager: video is started so that the box shows.
    if (playing) InitVideo(Options.headless);
    ShowMessageBox(message, "Application Error", BoxButtons::Ok, BoxIcon::Error);
    return 1;
}

// A fault that ended a run, told as the entry tells it; the exit code.
int ReportFault(std::exception_ptr fault, bool playing)
{
    try {
        std::rethrow_exception(fault);
    } catch (const FatalError& error) {
        return ReportFatal(error.what(), error.AlreadyShown(), playing);
    } catch (const std::exception& error) {
        return ReportFatal(error.what(), false, playing);
    }
}

// How the piece played ended: the exit code, told to the page in a browser.
int g_playExitCode = 0;
void PlayEnded(std::exception_ptr fault)
{
    g_playExitCode = fault ? ReportFault(fault, true) : 0;
    PublishRunEnd(g_playExitCode);
}

// A number of seconds: finite (CLI11's range check lets NaN through), 0 to an hour.
const CLI::Validator StartSeconds(
    [](std::string& text) -> std::string {
        double value = 0.0;
        if (!CLI::detail::lexical_cast(text, value) || !std::isfinite(value))
            return "--start takes a finite number of seconds, not \"" + text + "\"";
        if (value < 0.0 || value > 3600.0) return "--start takes 0 to 3600 seconds, not " + text;
        return {};
    },
    "SECONDS in [0, 3600]");

// The benchmark's way to time both renderers in one run.
constexpr const char* kBothRenderers = "fixed,shaders";

// --renderer: a renderer's name, or for the benchmark both.
CLI::Validator RendererChoice(bool both)
{
    return CLI::Validator(
        [both](std::string& text) -> std::string {
            if (RendererNamed(text) || (both && text == kBothRenderers)) return {};
            return std::string("--renderer takes fixed or shaders") + (both ? " (or fixed,shaders)" : "") +
                   ", not \"" + text + "\"";
        },
        both ? "fixed|shaders|fixed,shaders" : "fixed|shaders");
}

constexpr const char* kRendererHelp =
    "fixed: the GL driver's own fixed-function pipeline; shaders: the piece's fixed-function layer on "
    "generated shaders, on an OpenGL core profile (default fixed)";

constexpr const char* kSizeHelp = "WxH of the output, the picture drawn natively at its largest 4:3 area with black "
                                  "bars beside it (default 640x480)";
constexpr const char* kSupersampleHelp =
    "draw the picture N times larger on each side and filter it down: smoother edges (default 1)";

} // namespace

int main(int argc, char** argv)
{
    StartPlatform();
    const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    std::vector<char*> argumentPointers;
    for (const std::string& argument : arguments) argumentPointers.push_back(const_cast<char*>(argument.c_str()));

    CLI::App app{"lantern: the hollow lantern of rust, a real-time piece in step with its soundtrack", "lantern"};
    app.set_version_flag("--version", "lantern " LANTERN_VERSION);
    std::string dataFolder;
    double startSeconds = 0.0;
    app.add_flag("--windowed", Options.windowed, "play in a window (640x480, or as --size says) instead of full screen");
    app.add_flag("--headless", Options.headless, "play with no window on screen (also when there is no display)");
    SizeOptions playSize;
    app.add_option("--size", playSize.size,
                   "WxH: draw the picture natively at the largest 4:3 area of WxH (the window's size with "
                   "--windowed); native: at the window's or the screen's 4:3 area, following the window");
    app.add_option("--data", dataFolder, "folder that holds Data (default: the working folder, beside the program, then "
                                         "the installed share/lantern)");
    app.add_option("--start", startSeconds, "start the music and the picture at this many seconds")
        ->check(StartSeconds);
    app.add_option("--av-offset", Options.avOffsetMs,
                   "the sound is heard MS milliseconds later than the sound system reports (a "
                   "wireless speaker): the picture waits as much (negative: it goes earlier, for a "
                   "display that delays the picture); -2000 to 2000, default 0")
        ->check(CLI::Range(-2000, 2000));
    std::string rendererName = "fixed";
    app.add_option("--renderer", rendererName, kRendererHelp)->check(RendererChoice(false));
    app.add_flag("--log", Options.keepLog, "write \"loading.log\" while loading");
    app.add_flag("--dev", Options.dev,
                 "authoring mode: Space pauses, F5/F6 seek 5 s, F7/F8 previous/next slot, F9 loops the "
                 "slot; the window title shows the time, scene, progress and frame rate");

    CLI::App* shot = app.add_subcommand("shot", "write the frame at a music time as a PNG (640x480 unless --size)");
    int32_t shotMs = 0;
    std::string shotPath;
    shot->add_option("MS", shotMs, "music time in milliseconds")->required()->check(CLI::NonNegativeNumber);
    shot->add_option("OUT", shotPath, "PNG file to write")->required();
    shot->add_option("--data", dataFolder, "folder that holds Data");
    bool shotLoader = false;
    auto* loaderFlag = shot->add_flag("--loader", shotLoader, "write the loader screen instead of the frame at MS");
    std::string shotScene;
    shot->add_option("--scene", shotScene,
                     "draw this scene alone at MS of its own span (a scene class without \"tscene_\", "
                     "sub-scenes included)")
        ->excludes(loaderFlag);
    SizeOptions shotSize;
    shot->add_option("--size", shotSize.size, kSizeHelp);
    shot->add_option("--supersample", shotSize.supersample, kSupersampleHelp)
        ->check(CLI::Range(1, kMaxSupersample));
    shot->add_option("--renderer", rendererName, kRendererHelp)->check(RendererChoice(false));

    CLI::App* bench = app.add_subcommand("bench", "time the frames of every scene, drawn off-screen");
    BenchOptions benchOptions;
    bench->add_option("--frames", benchOptions.frames, "frames drawn in each scene, spread over its span")
        ->check(CLI::Range(1, 100000));
    bench->add_option("--passes", benchOptions.passes,
                      "draw every scene this many times and keep each frame's fastest (takes out the machine's own slow spells)")
        ->check(CLI::Range(1, 100));
    bench->add_option("--scene", benchOptions.scenes, "time only this scene (repeatable; sub-scenes included)");
    bench->add_flag("--json", benchOptions.json, "print one JSON object");
    SizeOptions benchSize;
    bench->add_option("--size", benchSize.size, "WxH: time the picture drawn at its largest 4:3 area (default 640x480)");
    bench->add_option("--data", dataFolder, "folder that holds Data");
    bench->add_option("--renderer", rendererName,
                      std::string(kRendererHelp) + "; fixed,shaders: every frame drawn with both on one context, "
                                                   "each scene's times side by side with their ratio")
        ->check(RendererChoice(true));

    CLI::App* capture = app.add_subcommand("capture", "render the piece offline into a video file with its soundtrack");
    CaptureOptions captureOptions;
    capture->add_option("OUT", captureOptions.output, "video file to write: .mp4, .mkv or .webm")->required();
    capture->add_option("--fps", captureOptions.fps, "frames a second (default 60)")
        ->check(CLI::Range(1, kMaxCaptureFps));
    SizeOptions captureSize;
    capture->add_option("--size", captureSize.size, "WxH of the video (both even); " + std::string(kSizeHelp));
    capture->add_option("--supersample", captureSize.supersample, kSupersampleHelp)
        ->check(CLI::Range(1, kMaxSupersample));
    capture->add_option("--from", captureOptions.fromSeconds, "start at this many seconds of music")
        ->check(CLI::Range(0.0, 3600.0));
    capture->add_option("--to", captureOptions.toSeconds, "stop at this many seconds (default: where the piece ends)")
        ->check(CLI::Range(0.0, 3600.0));
    capture->add_option("--crf", captureOptions.crf, "video quality, lower is better (default 18)")
        ->check(CLI::Range(0, kMaxCaptureCrf));
    capture->add_option("--preset", captureOptions.preset,
                        "H.264 speed preset, ultrafast (the default: keeps pace with the piece) to veryslow "
                        "(smaller files); .webm ignores it");
    std::string capturePart;
    auto* partOption = capture->add_option("--part", capturePart,
                                           "K/N: draw only the K-th of N equal slices of the frames, silent, into a "
                                           "part file for join (K from 1 to N)");
    capture->add_flag("--force", captureOptions.force, "draw the part even when OUT holds it already")->needs(partOption);
    capture->add_option("--data", dataFolder, "folder that holds Data");
    capture->add_option("--renderer", rendererName, kRendererHelp)->check(RendererChoice(false));

    CLI::App* join = app.add_subcommand("join", "join the parts of a capture (capture --part K/N) into one video "
                                                "with its soundtrack, without encoding the video again");
    JoinOptions joinOptions;
    join->add_option("OUT", joinOptions.output, "video file to write: the kind of the parts (.mp4, .mkv or .webm)")
        ->required();
    join->add_option("PART", joinOptions.parts, "every part file of the capture, in any order")->required();
    join->add_option("--data", dataFolder, "folder that holds the Data the parts were drawn from");

    CLI::App* sheet = app.add_subcommand("sheet", "write a contact sheet of the piece: labelled thumbnails");
    SheetOptions sheetOptions;
    sheet->add_option("OUT", sheetOptions.output, "PNG file to write")->required();
    sheet->add_option("--every", sheetOptions.everyMs, "milliseconds of music between thumbnails (default 4528)")
        ->check(CLI::Range(1, 3600000));
    sheet->add_option("--columns", sheetOptions.columns, "thumbnails a row (default 8)")->check(CLI::Range(1, 64));
    sheet->add_option("--from", sheetOptions.fromSeconds, "first thumbnail at this many seconds of music")
        ->check(CLI::Range(0.0, 3600.0));
    sheet->add_option("--to", sheetOptions.toSeconds, "no thumbnail from this many seconds on (default: the end)")
        ->check(CLI::Range(0.0, 3600.0));
    SizeOptions sheetSize;
    sheet->add_option("--size", sheetSize.size,
                      "WxH of the frames the thumbnails (a quarter of it on each side) are made from; " +
                          std::string(kSizeHelp));
    sheet->add_option("--supersample", sheetSize.supersample, kSupersampleHelp)
        ->check(CLI::Range(1, kMaxSupersample));
    sheet->add_option("--data", dataFolder, "folder that holds Data");
    sheet->add_option("--renderer", rendererName, kRendererHelp)->check(RendererChoice(false));

    AddManualSectionOption(app);
    CLI11_PARSE(app, static_cast<int>(argumentPointers.size()), argumentPointers.data());
    std::vector<std::string> namedScenes = benchOptions.scenes;
    if (!shotScene.empty()) namedScenes.push_back(shotScene);
    for (const std::string& name : namedScenes) {
        if (std::find(SceneClassNames.begin(), SceneClassNames.end(), name) != SceneClassNames.end()) continue;
        std::fprintf(stderr, "lantern: no scene is called \"%s\"; the scenes are: %s\n", name.c_str(),
                     SceneNameList().c_str());
        return 1;
    }
    Options.startMs = static_cast<int32_t>(std::lround(startSeconds * 1000.0));
    if (rendererName == kBothRenderers) ChooseBothRenderers();
    else ChooseRenderer(*RendererNamed(rendererName));
    if (!capturePart.empty()) {
        const std::string fault = ParsePartNumber(capturePart, captureOptions.part, captureOptions.parts);
        if (!fault.empty()) {
            std::fprintf(stderr, "lantern capture: --part %s: %s\n", capturePart.c_str(), fault.c_str());
            return 1;
        }
    }
    // A --size given before the command counts as the command's own.
    for (SizeOptions* command : {&shotSize, &benchSize, &captureSize, &sheetSize})
        if (command->size.empty()) command->size = playSize.size;
    OutputFrame shotFrame, benchFrame, playFrame;
    bool settled = true;
    if (shot->parsed()) settled = SettlePictureSize("shot", shotSize, shotFrame);
    else if (bench->parsed()) settled = SettlePictureSize("bench", benchSize, benchFrame);
    else if (capture->parsed()) settled = SettlePictureSize("capture", captureSize, captureOptions.frame);
    else if (sheet->parsed()) settled = SettlePictureSize("sheet", sheetSize, sheetOptions.frame);
    else if (playSize.size == "native") {
        Options.pictureFollowsWindow = true;
        Options.pictureOption = "--size native";
    } else {
        settled = SettlePictureSize("", playSize, playFrame);
        Options.windowSize = playFrame.size;
    }
    if (!settled) return 1;

    try {
        SetDataRoot(ChooseDataFolder(dataFolder));
        InitialiseSceneTable();
        if (shot->parsed()) {
            // A folder or device at OUT, or a picture that cannot be drawn, is refused before
            // the long start-up, not after it.
            CheckOutputPath(shotPath);
            if (!OpenFrameFor("shot")) return 1;
            StartOffline();
            if (!shotScene.empty()) return WriteSceneShot(shotScene, shotMs, shotPath, shotFrame);
            if (shotLoader) DrawLoaderScreen();
            else RenderOfflineFrameAsPlayed(shotMs);
            const int written = WriteFramePng(shotPath, shotFrame);
            // Where the run has a surface on screen (a browser's canvas), the frame is shown there.
            PresentFrame();
            return written;
        }
        if (bench->parsed()) {
            if (!OpenFrameFor("bench")) return 1;
            StartOffline();
            return RunFrameBenchmark(benchOptions);
        }
        if (capture->parsed()) return OpenFrameFor("capture") ? Capture(captureOptions) : 1;
        if (join->parsed()) return JoinParts(joinOptions);
        if (sheet->parsed()) return OpenFrameFor("sheet") ? Sheet(sheetOptions) : 1;
        MainLoop(PlayEnded);
        return g_playExitCode;
    } catch (...) {
        return ReportFault(std::current_exception(), app.get_subcommands().empty());
    }
}
