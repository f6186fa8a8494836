// The data search: the working folder, beside the executable, the installed share folder.
#include "app/data_folder.h"

#include "base/error.h"
#include "base/files.h"
#include "platform/program_folder.h"
#include "resources/piece_inputs.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// A folder counts when its Data holds the font, the first file the start-up reads: a "Data"
// of one's own (a home folder's documents, say) does not hide the piece's data.
bool HoldsPieceData(const std::string& folder)
{
    SetDataRoot(folder);
    return FileExists(StartUpTextures[0].file);
}

// The folder as the user would write it: absolute, without "." or ".." or a trailing slash.
std::string Absolute(const std::filesystem::path& folder)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    std::filesystem::path normal = (error ? folder : absolute).lexically_normal();
    if (normal.filename().empty() && normal.has_parent_path() && normal != normal.root_path())
        normal = normal.parent_path();
    return normal.string();
}

} // namespace

std::string ChooseDataFolder(const std::string& requested)
{
    if (!requested.empty()) return requested;

    // Where each place is looked for, and how the error names it.
    std::vector<std::pair<std::string, const char*>> places{{".", "the working folder"}};
    const std::string programFolder = ProgramFolder();
    if (!programFolder.empty()) {
        places.emplace_back(programFolder, "beside the program");
        places.emplace_back(Absolute(std::filesystem::path(programFolder) / ".." / "share" / "lantern"),
                            "the installed data");
    }
    for (const auto& [folder, what] : places)
        if (HoldsPieceData(folder)) return folder;

    SetDataRoot(".");
    std::string looked;
    for (const auto& [folder, what] : places)
        looked += StrFormat("\n  %s (%s)", Absolute(folder).c_str(), what);
    if (programFolder.empty()) looked += "\n  (the program's own folder could not be told)";
    std::string font(StartUpTextures[0].file);
    for (char& c : font)
        if (c == '\\') c = '/';
    throw FatalError(StrFormat("no data found: lantern looked for its Data folder (with %s, the first file "
                               "it reads) in:%s\nGive the folder that holds Data with --data DIR "
                               "(\"lantern-tool gen DIR\" makes one).",
                               font.c_str(), looked.c_str()));
}
