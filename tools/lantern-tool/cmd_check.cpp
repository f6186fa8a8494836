// lantern-tool check DIR: reads everything the piece would read from DIR/Data and names every
// fault; exit code 0 when the folder would play, 1 otherwise.
#include "command.h"

#include "datacheck/data_check.h"

#include <cstdio>
#include <string>

namespace {

void Setup(CLI::App& command, std::function<int()>& run)
{
    static std::string folder;
    command.add_option("DIR", folder, "folder that holds Data/")->required();
    run = [] { return CheckDataFolder(folder, stdout).errors == 0 ? 0 : 1; };
}

const bool registered =
    RegisterCommand("check", "read every file the piece would read from DIR/Data and list every fault", &Setup);

} // namespace
