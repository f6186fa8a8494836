// lantern-tool music OUT.ogg [--wav W]: writes only the soundtrack (and, for listening
// checks, the same track as WAV).
#include "command.h"

#include "music/soundtrack.h"

#include <memory>
#include <string>

namespace {

void Setup(CLI::App& command, std::function<int()>& run)
{
    auto ogg = std::make_shared<std::string>();
    auto wav = std::make_shared<std::string>();
    command.add_option("OUT.ogg", *ogg, "the Ogg Vorbis file to write")->required();
    command.add_option("--wav", *wav, "also write the track as 16-bit WAV to this file");
    run = [ogg, wav]() {
        WriteSoundtrack(*ogg, *wav, true);
        return 0;
    };
}

const bool registered = RegisterCommand("music", "synthesise the soundtrack and write it as Ogg Vorbis", &Setup);

} // namespace
