// lantern-tool unpack IN OUT: writes the unpacked bytes of a ".packed" file, exactly as
// many as its header announces.
#include "command.h"

#include "platform/error.h"
#include "resources/norvikpack.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct UnpackOptions {
    std::string input;
    std::string output;
};

int Unpack(const UnpackOptions& options)
{
    const int32_t size = UnpackFile(options.input);
    std::FILE* file = std::fopen(options.output.c_str(), "wb");
    if (!file) ThrowFileError(options.output, StrFormat("cannot create (%s)", std::strerror(errno)));
    const bool written = std::fwrite(UnpackBuffer, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
    if (std::fclose(file) != 0 || !written) ThrowFileError(options.output, "write error");
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
