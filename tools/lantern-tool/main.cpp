// lantern-tool: makes and inspects the data of lantern (gen, pack, unpack, geox, camera ...).
#include "command.h"

#include "base/command_line_manual.h"
#include "base/error.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Registered {
    const char* name;
    const char* description;
    CommandSetup setup;
};

std::vector<Registered>& Commands()
{
    static std::vector<Registered> commands;
    return commands;
}

} // namespace

bool RegisterCommand(const char* name, const char* description, CommandSetup setup)
{
    Commands().push_back({name, description, setup});
    return true;
}

int main(int argc, char** argv)
{
    CLI::App app{"lantern-tool: makes and inspects the data of lantern", "lantern-tool"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "lantern-tool " LANTERN_VERSION);
    std::vector<std::function<int()>> actions(Commands().size());
    std::vector<CLI::App*> subcommands;
    for (size_t i = 0; i < Commands().size(); ++i) {
        CLI::App* command = app.add_subcommand(Commands()[i].name, Commands()[i].description);
        Commands()[i].setup(*command, actions[i]);
        subcommands.push_back(command);
    }
    AddManualSectionOption(app);
    CLI11_PARSE(app, argc, argv);
    try {
        for (size_t i = 0; i < subcommands.size(); ++i)
            if (subcommands[i]->parsed() && actions[i]) return actions[i]();
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern-tool: %s\n", error.what());
        return 1;
    }
    return 1;
}
