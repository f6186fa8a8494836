// lantern-tool pack IN OUT: compresses any file into the ".packed" form the loaders unpack.
#include "command.h"

#include "datagen/writers.h"
#include "base/error.h"
#include "base/files.h"
#include "base/output_file.h"
#include "resources/norvikpack.h"

#include <cstdio>
#include <string>

namespace {

void Setup(CLI::App& command, std::function<int()>& run)
{
    static std::string input, output;
    command.add_option("IN", input, "file to pack")->required();
    command.add_option("OUT", output, "packed file to write (usually IN followed by \".packed\")")->required();
    run = [] {
        const std::vector<unsigned char> bytes = ReadFileBytes(input);
        // Opened before the packing, so a bad OUT is refused at once; what stands there is
        // replaced only by the whole packed file.
        OutputFile file(output);
        const std::vector<uint8_t> packed = EncodeLzhufPacked(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        file.Write(packed.data(), packed.size());
        file.Commit();
        std::printf("%s: %zu bytes packed into %zu\n", output.c_str(), bytes.size(), packed.size());
        if (bytes.size() > static_cast<size_t>(kUnpackBufferSize))
            std::fprintf(stderr, "lantern-tool: note: %s unpacks to more than the %d bytes the program can hold\n",
                         output.c_str(), kUnpackBufferSize);
        return 0;
    };
}

const bool registered = RegisterCommand("pack", "pack a file with LZHUF into the \".packed\" format", &Setup);

} // namespace
