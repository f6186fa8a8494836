// lantern-tool gen DIR: writes the whole data set into DIR/Data.
#include "command.h"

#include "datagen/datagen.h"

#include <string>

namespace {

void Setup(CLI::App& command, std::function<int()>& run)
{
    static std::string folder;
    static bool noMusic = false;
    static bool quiet = false;
    command.add_option("DIR", folder, "folder that receives Data/")->required();
    command.add_flag("--no-music", noMusic, "leave the soundtrack out (much faster)");
    command.add_flag("--quiet", quiet, "no progress line");
    run = [] {
        DataSetOptions options;
        options.withSoundtrack = !noMusic;
        options.progress = !quiet;
        GenerateDataSet(folder, options);
        return 0;
    };
}

const bool registered = RegisterCommand("gen", "generate the data set into DIR/Data", &Setup);

} // namespace
