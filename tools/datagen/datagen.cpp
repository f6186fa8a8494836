// The data set generator: runs every asset family's generator into dir/Data, in a fixed
// order, with a progress line.
#include "datagen/datagen.h"

#include "datagen/families.h"
#include "music/soundtrack.h"

#include "base/error.h"
#include "base/output_file.h"

#include "system/file_system.h"

#include <cstdio>
#include <filesystem>

namespace {

void ShowStep(const DataSetOptions& options, int step, int steps, const char* what)
{
    if (!options.progress) return;
    std::fprintf(stderr, "\rgen: [%d/%d] %-28s", step, steps, what);
    if (step == steps) std::fputc('\n', stderr);
    std::fflush(stderr);
}

// DIR/Data, made when missing. Something other than a folder there, or a folder that cannot
// be written into, is refused before anything is written.
void PrepareDataFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (std::filesystem::exists(folder) && !std::filesystem::is_directory(folder))
        ThrowFileError(folder, "cannot write the data set into it (not a folder)");
    if (error) ThrowFileError(folder, "cannot create the folder (" + error.message() + ")");
    std::string reason;
    if (!CanWriteInto(folder, reason)) ThrowFileError(folder, "cannot write into the folder (" + reason + ")");
}

} // namespace

void GenerateDataSet(const std::string& dir, const DataSetOptions& options)
{
    const std::string folder = dir + "/Data";
    PrepareDataFolder(folder);
    // The soundtrack is written last, after a long rendering: a bad path there is refused now.
    if (options.withSoundtrack) CheckOutputPath(folder + "/soundtrack.ogg");
    const DataTree tree(folder);
    const int steps = options.withSoundtrack ? 6 : 5;
    ShowStep(options, 0, steps, "global textures");
    GenerateGlobalTextures(tree);
    ShowStep(options, 1, steps, "font");
    GenerateFont(tree);
    ShowStep(options, 2, steps, "meshes");
    GenerateMeshes(tree);
    ShowStep(options, 3, steps, "camera flights");
    GenerateCameraPaths(tree);
    if (options.withSoundtrack) {
        ShowStep(options, 4, steps, "soundtrack");
        if (options.progress) std::fputc('\n', stderr);
        WriteSoundtrack(tree.Folder() + "/soundtrack.ogg", "", options.progress);
    }
    ShowStep(options, steps, steps, "done");
}
