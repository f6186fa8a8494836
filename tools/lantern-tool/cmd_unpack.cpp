// lantern-tool unpack IN OUT: writes the unpacked bytes of a ".packed" file, exactly as
// many as its header announces.
#include "command.h"

#include "base/output_file.h"
#include "resources/norvikpack.h"

#include <string>

namespace {

struct UnpackOptions {
    std::string input;
    std::string output;
};

int Unpack(const UnpackOptions& options)
{
    // A bad OUT is refused before the input is read.
    OutputFile file(options.output);
    const int32_t size = UnpackFile(options.input);
    file.Write(UnpackBuffer, static_cast<size_t>(size));
    file.Commit();
    return 0;
}

void Setup(CLI::App& command, std::function<int()>& run)
{
    static UnpackOptions options;
    command.add_option("IN", options.input, "packed file")->required();
    command.add_option("OUT", options.output, "file to write the unpacked bytes to")->required();
    run = [] { return Unpack(options); };
}

const bool registered = RegisterCommand("unpack", "unpack a .packed file", &Setup);

} // namespace
