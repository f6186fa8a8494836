// lantern: plays "the hollow lantern of rust" in step with its soundtrack.
//
//   lantern [--windowed] [--headless] [--data DIR] [--start SECONDS] [--log]
//   lantern shot MS OUT.png [--loader] [--data DIR]
//   lantern bench [--frames N] [--data DIR]
#include "app/globals.h"
#include "app/glwindow.h"
#include "app/offline.h"
#include "app/startup.h"
#include "capture/frame_bench.h"
#include "capture/shot.h"
#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "timeline/globalscenes.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

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

int ReportFatal(const char* message, bool alreadyShown)
{
    if (!alreadyShown) ShowMessageBox(message, "Application Error", BoxButtons::Ok, BoxIcon::Error);
    return 1;
}

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
        ->check(CLI::Range(0.0, 3600.0));
    app.add_flag("--log", Options.keepLog, "write \"loading.log\" while loading");

    CLI::App* shot = app.add_subcommand("shot", "write the frame at a music time as a 640x480 PNG");
    int32_t shotMs = 0;
    std::string shotPath;
    shot->add_option("MS", shotMs, "music time in milliseconds")->required()->check(CLI::NonNegativeNumber);
    shot->add_option("OUT", shotPath, "PNG file to write")->required();
    shot->add_option("--data", dataFolder, "folder that holds Data");
    bool shotLoader = false;
    shot->add_flag("--loader", shotLoader, "write the loader screen instead of the frame at MS");

    CLI::App* bench = app.add_subcommand("bench", "time the frames of every scene, drawn off-screen");
    int benchFrames = 20;
    bench->add_option("--frames", benchFrames, "frames drawn in each scene")->check(CLI::Range(1, 10000));
    bench->add_option("--data", dataFolder, "folder that holds Data");

    CLI11_PARSE(app, argc, argv);
    Options.startMs = static_cast<int32_t>(std::lround(startSeconds * 1000.0));
    SetDataRoot(ChooseDataFolder(dataFolder));
    InitialiseSceneTable();

    try {
        if (shot->parsed()) {
            StartOffline();
            if (shotLoader) DrawLoaderScreen();
            else RenderOfflineFrame(shotMs);
            return WriteFramePng(shotPath);
        }
        if (bench->parsed()) {
            StartOffline();
            return RunFrameBenchmark(benchFrames);
        }
        MainLoop();
    } catch (const FatalError& error) {
        return ReportFatal(error.what(), error.AlreadyShown());
    } catch (const std::exception& error) {
        return ReportFatal(error.what(), false);
    }
    return 0;
}
