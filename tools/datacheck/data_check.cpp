// The data check: the start-up's reads replayed file by file, each fault reported and passed.
#include "datacheck/data_check.h"

#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "base/picture_size.h"
#include "base/piece_schedule.h"
#include "base/profile.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "resources/lum_log.h"
#include "resources/lum_textures.h"
#include "resources/piece_inputs.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kSoundtrack = "data\\soundtrack.ogg";

std::string Quoted(std::string_view text)
{
    std::string quoted(1, '"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

class DataChecker {
public:
    explicit DataChecker(std::FILE* out) : m_out(out)
    {
        m_previousBoxes = SetMessageBoxHandler([this](std::string_view text, std::string_view, BoxButtons, BoxIcon) {
            m_boxes.emplace_back(text);
            return BoxAnswer::Ok;
        });
    }
    ~DataChecker() { SetMessageBoxHandler(std::move(m_previousBoxes)); }
    DataChecker(const DataChecker&) = delete;
    DataChecker& operator=(const DataChecker&) = delete;

    void Run()
    {
        for (const StartUpTexture& texture : StartUpTextures) CheckStartUpTexture(texture);
        for (const GlobalDataFile& file : GlobalDataFiles) CheckGlobalFile(file);
        for (const SceneCameraFile& file : SceneCameraFiles) CheckCameraFile(file);
        CheckBoundNames();
        CheckAlikeCutOuts();
        CheckSoundtrack();
    }

    const DataCheckResult& Result() const { return m_result; }

private:
    void Error(const std::string& line)
    {
        std::fprintf(m_out, "error: %s\n", line.c_str());
        ++m_result.errors;
    }

    void Warning(const std::string& line)
    {
        std::fprintf(m_out, "warning: %s\n", line.c_str());
        ++m_result.warnings;
    }

    // Runs one loader on `files` files. Its error, or else every message box it showed (each
    // one would stop the viewer), is reported after `context`. True when it loaded cleanly.
    template <typename Load>
    bool Read(const std::string& context, int files, Load&& load)
    {
        m_boxes.clear();
        m_result.filesRead += files;
        const std::string lead = context.empty() ? std::string() : context + ": ";
        try {
            load();
        } catch (const FatalError& error) {
            Error(lead + error.what());
            return false;
        } catch (const std::bad_alloc&) {
            Error(lead + "out of memory");
            return false;
        }
        for (const std::string& box : m_boxes) Error(lead + "shows the message " + Quoted(box));
        return m_boxes.empty();
    }

    // The library as the loaders fill it: names cut to 32 characters, at most 1000 entries.
    bool AddName(const std::string& context, const std::string& name)
    {
        if (static_cast<int>(m_names.size()) >= kTextureLibraryCapacity) {
            Error(context + ": texture " + Quoted(name) + " would be texture " +
                  std::to_string(kTextureLibraryCapacity + 1) + "; the library holds " +
                  std::to_string(kTextureLibraryCapacity));
            return false;
        }
        if (name.size() > static_cast<size_t>(kTextureNameLength))
            Warning(context + ": texture name " + Quoted(name) + " is longer than " +
                    std::to_string(kTextureNameLength) + " characters; the library keeps " +
                    Quoted(name.substr(0, kTextureNameLength)) + " and never finds the whole name");
        m_names.push_back(name.substr(0, kTextureNameLength));
        return true;
    }

    bool HasName(std::string_view name) const
    {
        return name.size() <= static_cast<size_t>(kTextureNameLength) &&
               std::find(m_names.begin(), m_names.end(), name) != m_names.end();
    }

    // A texture's images, as its loader reads them.
    void CheckImages(const std::string& context, const TextureListFiles& files)
    {
        if (files.alpha.empty())
            Read(context, 1, [&] { ReadTextureImage(files.colour); });
        else
            Read(context, 2, [&] { ReadAlphaTexturePixels(files.colour, files.alpha); });
    }

    // The larger versions of a texture's images, where the data has them: what a picture
    // drawn large loads instead.
    void CheckLargerImageFiles(const std::string& context, const TextureListFiles& files)
    {
        for (const LargerImages& scale : LargerImageScales)
            if (const std::optional<TextureListFiles> larger = LargerImageFiles(files, scale.scale))
                CheckImages(context, *larger);
    }

    void CheckStartUpTexture(const StartUpTexture& texture)
    {
        const TextureListFiles files{std::string(texture.file), std::string(texture.alphaFile)};
        CheckImages("", files);
        CheckLargerImageFiles("", files);
        AddName(std::string(texture.file), std::string(texture.name));
    }

    void CheckGlobalFile(const GlobalDataFile& file)
    {
        switch (file.kind) {
        case GlobalFileKind::TextureList: CheckTextureList(file.path, file.prefix); break;
        case GlobalFileKind::Mesh: CheckMesh(file.path); break;
        case GlobalFileKind::MeshFolder: CheckMeshFolder(file.path, false); break;
        case GlobalFileKind::WaterLeafFolder: CheckMeshFolder(file.path, true); break;
        }
    }

    void CheckTextureList(std::string_view listPath, std::string_view prefix)
    {
        const std::string path(listPath);
        const std::string folder = path.substr(0, path.rfind('\\') + 1);
        if (!FileExists(path)) {
            Warning(path + ": missing, so no textures come from it");
            return;
        }
        PrivateProfile list;
        if (!Read("", 1, [&] { list = PrivateProfile::Load(path); })) return;
        for (const TextureListItem& item : ReadTextureListItems(list, prefix, folder)) {
            const std::string context = path + " [texture" + std::to_string(item.section) + "]";
            TextureListFiles files;
            if (!Read(context, 0, [&] { files = ResolveTextureListFiles(item); })) continue;
            CutOut cutOut{item.magFilter, item.minFilter, 0, 0, {}};
            if (item.hasAlpha)
                Read(context, 2, [&] {
                    const RgbaImage image = ReadAlphaTexturePixels(files.colour, files.alpha);
                    cutOut.width = image.width;
                    cutOut.height = image.height;
                    for (size_t i = 3; i < image.rgba.size(); i += 4) cutOut.alpha.push_back(image.rgba[i]);
                });
            else
                Read(context, 1, [&] {
                    const DecodedImage image = ReadTextureImage(files.colour);
                    cutOut.width = image.width;
                    cutOut.height = image.height;
                    cutOut.alpha.assign(static_cast<size_t>(image.width) * image.height, 255);
                });
            // Lookups find a name's first entry, so its first entry is the one drawn.
            if (ComparesCutOut(item.name) && !HasName(item.name)) m_cutOuts.emplace(item.name, std::move(cutOut));
            CheckLargerImageFiles(context, files);
            if (!AddName(context, item.name)) return;
        }
    }

    void CheckMesh(std::string_view path)
    {
        GeoxMesh mesh;
        Read("", 1, [&] { LoadGeox(mesh, path); });
    }

    void CheckMeshFolder(std::string_view folder, bool waterLeaves)
    {
        const std::string listPath = std::string(folder) + "geox.list";
        std::vector<GeoxListEntry> entries;
        if (!Read("", 1, [&] { entries = ReadGeoxListEntries(folder, "geox.list"); })) return;
        GeoxList list;
        list.count = static_cast<int32_t>(entries.size());
        list.meshes.resize(entries.size());
        std::vector<std::string>& filtered = m_filteredNames[std::string(folder)];
        for (size_t i = 0; i < entries.size(); ++i) {
            Read(listPath, 1, [&] { LoadGeoxListEntry(list.meshes[i], entries[i]); });
            const std::string name = FilterGeoxName(entries[i].entry);
            if (entries[i].entry.size() > static_cast<size_t>(kTextureNameLength))
                Warning(listPath + ": entry " + Quoted(entries[i].entry) + " is longer than " +
                        std::to_string(kTextureNameLength) + " characters and is cut");
            filtered.push_back(name.substr(0, kTextureNameLength));
        }
        if (waterLeaves) Read("", 0, [&] { ComputeWaterLeafCentres(list, listPath); });
    }

    // Read as its scene reads it: a curve for its eye positions only, a camera whole.
    void CheckCameraFile(const SceneCameraFile& file)
    {
        static CameraPath path;
        path.count = 0;
        const CameraFileUse use = file.eyePositionsOnly ? CameraFileUse::EyePath : CameraFileUse::Camera;
        if (!Read("", 1, [&] { LoadCameraPath(path, file.path, use); })) return;
        if (path.count < 4)
            Warning(std::string(file.path) + ": " + std::to_string(path.count) + " records; a path needs 4 to move, so " +
                    (file.eyePositionsOnly ? "this curve is a single point" : "this camera stands still"));
    }

    static bool ComparesCutOut(std::string_view name)
    {
        for (const auto& pair : AlikeCutOutTextures)
            if (name == pair[0] || name == pair[1]) return true;
        return false;
    }

    // The mipmaps are built from the first level channel by channel, so equal sizes, filters
    // and first-level alpha give equal alpha at every level.
    void CheckAlikeCutOuts()
    {
        for (const auto& [first, second] : AlikeCutOutTextures) {
            const auto a = m_cutOuts.find(std::string(first)), b = m_cutOuts.find(std::string(second));
            const bool aFound = a != m_cutOuts.end(), bFound = b != m_cutOuts.end();
            if (aFound == bFound && (!aFound || a->second == b->second)) continue;
            Warning("textures " + Quoted(first) + " and " + Quoted(second) +
                    " differ in size, filter or alpha, so the landscape's two looks do not cut their " +
                    "grass and trees out alike: season draws the world seen through its window over the " +
                    "whole picture, a slower frame");
        }
    }

    void CheckBoundNames()
    {
        for (std::string_view name : BoundTextureNames)
            if (!HasName(name))
                Warning("texture " + Quoted(name) + " is bound by the program but no list provides it (it draws untextured)");
        for (const PrefixedMeshFolder& drawn : PrefixedMeshFolders) {
            const auto found = m_filteredNames.find(std::string(drawn.folder));
            if (found == m_filteredNames.end()) continue;
            for (const std::string& filtered : found->second) {
                const std::string name = std::string(drawn.prefix) + filtered;
                if (name.size() > static_cast<size_t>(kTextureNameLength))
                    Warning(std::string(drawn.folder) + "geox.list: its mesh " + Quoted(filtered) +
                            " is drawn with texture " + Quoted(name) + ", longer than " +
                            std::to_string(kTextureNameLength) + " characters, which the library never finds");
                else if (!HasName(name))
                    Warning(std::string(drawn.folder) + "geox.list: its mesh " + Quoted(filtered) +
                            " is drawn with texture " + Quoted(name) + ", which no list provides (it draws untextured)");
            }
        }
    }

    // The piece plays silently without a usable soundtrack, so every fault here is a warning.
    void CheckSoundtrack()
    {
        const std::string file(kSoundtrack);
        if (!FileExists(kSoundtrack)) {
            Warning(file + ": missing; the piece plays silently");
            return;
        }
        ++m_result.filesRead;
        OggVorbis_File stream;
        if (ov_fopen(ResolvePath(kSoundtrack).c_str(), &stream) != 0) {
            Warning(file + ": not an Ogg Vorbis stream; the piece plays silently");
            return;
        }
        const vorbis_info* info = ov_info(&stream, -1);
        const double seconds = ov_time_total(&stream, -1);
        if (!info || info->rate != 44100 || info->channels != 2)
            Warning(file + ": not 44100 Hz stereo; the piece plays silently");
        else if (seconds * 1000.0 < PieceEndMs())
            Warning(file + StrFormat(": lasts %.3f s; the last scene ends at %.3f s", seconds, PieceEndMs() / 1000.0));
        ov_clear(&stream);
    }

    std::FILE* m_out;
    DataCheckResult m_result;
    MessageBoxHandler m_previousBoxes;
    std::vector<std::string> m_boxes;
    // What a texture's alpha test keeps: its filters, its size and its alpha (1 without an
    // alpha image).
    struct CutOut {
        GLenum magFilter, minFilter;
        int width, height;
        std::vector<uint8_t> alpha;
        bool operator==(const CutOut&) const = default;
    };
    std::map<std::string, CutOut> m_cutOuts; // the first entry of each name

    std::vector<std::string> m_names;
    std::map<std::string, std::vector<std::string>> m_filteredNames; // by mesh folder
};

} // namespace

DataCheckResult CheckDataFolder(const std::string& folder, std::FILE* out)
{
    SetDataRoot(folder);
    LogEnabled = false;
    DataCheckResult result;
    if (!std::filesystem::is_directory(ResolvePath("Data"))) {
        std::fprintf(out, "error: %s: no Data folder\n", folder.c_str());
        result.errors = 1;
    } else {
        DataChecker checker(out);
        checker.Run();
        result = checker.Result();
    }
    std::fprintf(out, "%s/Data: %d files read, %d error%s, %d warning%s: %s\n", folder.c_str(), result.filesRead,
                 result.errors, result.errors == 1 ? "" : "s", result.warnings, result.warnings == 1 ? "" : "s",
                 result.errors == 0 ? "the piece would play" : "the piece would not play");
    return result;
}
