// lantern: plays "the hollow lantern of rust" in step with its soundtrack.
//
//   lantern [--windowed] [--headless] [--data DIR] [--start SECONDS] [--log]
//   lantern shot MS OUT.png [--loader | --scene NAME] [--data DIR]
//   lantern bench [--frames N] [--scene NAME]... [--json] [--data DIR]
#include "app/globals.h"
#include "app/glwindow.h"
#include "app/offline.h"
#include "app/startup.h"
#include "capture/frame_bench.h"
#include "capture/shot.h"
#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "base/output_file.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The folder holding Data: the one asked for, else the working folder when it has Data,
// else the folder of the executable.
std::string ChooseDataFolder(const std::string& requested)
{
    if (!requested.empty()) return requested;
    SetDataRoot(".");
    if (std::filesystem::is_directory(ResolvePath("Data"))) return ".";
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : executable.parent_path().string();
}

// "title, intro, ...": the names --scene takes.
std::string SceneNameList()
{
    std::string names;
    for (std::string_view name : SceneClassNames) names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

// One scene object alone at ms of its own span, nothing drawn over it.
int WriteSceneShot(const std::string& name, int32_t ms, const std::string& pngPath)
{
    lum_genericscene* scene = FindSceneObject(name);
    if (!scene) throw FatalError(StrFormat("no %s scene was made", name.c_str()));
    const int64_t span = static_cast<int64_t>(scene->EndTime) - scene->StartTime;
    if (ms >= span) {
        std::fprintf(stderr, "lantern: %d ms lies outside the span of %s (0 to %lld ms)\n", ms, name.c_str(),
                     static_cast<long long>(span - 1));
        return 1;
    }
    RenderSceneOffline(*scene, ms);
    return WriteFramePng(pngPath);
}

int ReportFatal(const char* message, bool alreadyShown)
{
    // A box shown already may have said only that something broke ("CORRUPTED GEOX
    // FILE!!!"); the message names the file and the fault.
    if (alreadyShown) std::fprintf(stderr, "lantern: %s\n", message);
    else ShowMessageBox(message, "Application Error", BoxButtons::Ok, BoxIcon::Error);
    return 1;
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

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"lantern: the hollow lantern of rust, a real-time piece in step with its soundtrack"};
    std::string dataFolder;
    double startSeconds = 0.0;
    app.add_flag("--windowed", Options.windowed, "play in a 640x480 window instead of full screen");
    app.add_flag("--headless", Options.headless, "play with no window on screen (also when there is no display)");
    app.add_option("--data", dataFolder, "folder that holds Data (default: the working folder, else beside the program)");
    app.add_option("--start", startSeconds, "start the music and the picture at this many seconds")
        ->check(StartSeconds);
    app.add_flag("--log", Options.keepLog, "write \"loading.log\" while loading");

    CLI::App* shot = app.add_subcommand("shot", "write the frame at a music time as a 640x480 PNG");
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

    CLI::App* bench = app.add_subcommand("bench", "time the frames of every scene, drawn off-screen");
    BenchOptions benchOptions;
    bench->add_option("--frames", benchOptions.frames, "frames drawn in each scene, spread over its span")
        ->check(CLI::Range(1, 100000));
    bench->add_option("--scene", benchOptions.scenes, "time only this scene (repeatable; sub-scenes included)");
    bench->add_flag("--json", benchOptions.json, "print one JSON object");
    bench->add_option("--data", dataFolder, "folder that holds Data");

    CLI11_PARSE(app, argc, argv);
    std::vector<std::string> namedScenes = benchOptions.scenes;
    if (!shotScene.empty()) namedScenes.push_back(shotScene);
    for (const std::string& name : namedScenes) {
        if (std::find(SceneClassNames.begin(), SceneClassNames.end(), name) != SceneClassNames.end()) continue;
        std::fprintf(stderr, "lantern: no scene is called \"%s\"; the scenes are: %s\n", name.c_str(),
                     SceneNameList().c_str());
        return 1;
    }
    Options.startMs = static_cast<int32_t>(std::lround(startSeconds * 1000.0));
    SetDataRoot(ChooseDataFolder(dataFolder));
    InitialiseSceneTable();

    try {
        if (shot->parsed()) {
            // A folder or device at OUT is refused before the long start-up, not after it.
            CheckOutputPath(shotPath);
            StartOffline();
            if (!shotScene.empty()) return WriteSceneShot(shotScene, shotMs, shotPath);
            if (shotLoader) DrawLoaderScreen();
            else RenderOfflineFrameAsPlayed(shotMs);
            return WriteFramePng(shotPath);
        }
        if (bench->parsed()) {
            StartOffline();
            return RunFrameBenchmark(benchOptions);
        }
        MainLoop();
    } catch (const FatalError& error) {
        return ReportFatal(error.what(), error.AlreadyShown());
    } catch (const std::exception& error) {
        return ReportFatal(error.what(), false);
    }
    return 0;
}
