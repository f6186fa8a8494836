// The data set generator: runs every asset family's generator into dir/Data, in a fixed
// order, with a progress line.
#include "datagen/datagen.h"

#include "datagen/families.h"
#include "music/soundtrack.h"

#include <cstdio>

namespace {

void ShowStep(const DataSetOptions& options, int step, int steps, const char* what)
{
    if (!options.progress) return;
    std::fprintf(stderr, "\rgen: [%d/%d] %-28s", step, steps, what);
    if (step == steps) std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

void GenerateDataSet(const std::string& dir, const DataSetOptions& options)
{
    const DataTree tree(dir + "/Data");
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
