// piece_inputs: every file the piece reads from its data folder and every texture name its
// scenes bind, written down once for the data check (`lantern-tool check`), which loads them
// without a GL context: the start-up's two textures, the global data set's files in load
// order, each scene's camera and path files, and the names the scenes look up. The loaders
// keep their own calls; the check's tests run the real start-up and prove that it opens no
// file and looks up no texture name missing here.
#pragma once

#include <array>
#include <string_view>

// A texture the start-up adds before the global data set.
struct StartUpTexture {
    std::string_view name;
    std::string_view file;
    std::string_view alphaFile; // empty: no alpha image
};

inline constexpr std::array<StartUpTexture, 2> StartUpTextures{{
    {"font", "data\\font.jpg.packed", "data\\font_alpha.jpg.packed"},
    {"loader", "data\\loader.jpg.packed", ""},
}};

enum class GlobalFileKind {
    TextureList,     // a "textures.ini": its entries join the library, named prefix + name
    Mesh,            // one geox file
    MeshFolder,      // a folder's "geox.list" and every mesh it names
    WaterLeafFolder, // the same, whose entries must also fit the water-leaf centre table
};

struct GlobalDataFile {
    GlobalFileKind kind;
    std::string_view path;   // a file, or a folder ending in a backslash
    std::string_view prefix; // texture lists: the prefix of their names
};

// LoadGlobalData's reads, in its order (a list read twice is named once). A texture list's
// images lie in the folder of the list.
inline constexpr std::array<GlobalDataFile, 36> GlobalDataFiles{{
    {GlobalFileKind::TextureList, "Data\\globaltextures.ini", ""},
    {GlobalFileKind::Mesh, "Data\\leafsmall.geox", ""},
    {GlobalFileKind::Mesh, "Data\\plane.geox", ""},
    {GlobalFileKind::Mesh, "Data\\planebig.geox", ""},
    {GlobalFileKind::Mesh, "Data\\leafnormal.geox", ""},
    {GlobalFileKind::Mesh, "Data\\sphere.geox", ""},
    {GlobalFileKind::MeshFolder, "Data\\season\\", ""},
    {GlobalFileKind::MeshFolder, "Data\\seasonwindow\\", ""},
    {GlobalFileKind::Mesh, "Data\\seasoncut\\cut.geox", ""},
    {GlobalFileKind::WaterLeafFolder, "Data\\waterleafs\\", ""},
    {GlobalFileKind::MeshFolder, "Data\\killself\\", ""},
    {GlobalFileKind::TextureList, "Data\\killself\\textures.ini", "killself."},
    {GlobalFileKind::MeshFolder, "Data\\hand\\", ""},
    {GlobalFileKind::TextureList, "Data\\hand\\textures.ini", "deadhand."},
    {GlobalFileKind::MeshFolder, "Data\\yard\\", ""},
    {GlobalFileKind::TextureList, "Data\\yard\\textures.ini", "yard."},
    {GlobalFileKind::MeshFolder, "Data\\dno\\", ""},
    {GlobalFileKind::TextureList, "Data\\dno\\textures.ini", "dno."},
    {GlobalFileKind::Mesh, "Data\\grass.geox", ""},
    {GlobalFileKind::Mesh, "Data\\tree\\tree.geox", ""},
    {GlobalFileKind::MeshFolder, "Data\\stair\\", ""},
    {GlobalFileKind::TextureList, "Data\\stair\\textures.ini", "stair."},
    {GlobalFileKind::MeshFolder, "Data\\baken\\", ""},
    {GlobalFileKind::TextureList, "Data\\baken\\textures.ini", "baken."},
    {GlobalFileKind::MeshFolder, "Data\\cup\\", ""},
    {GlobalFileKind::TextureList, "Data\\cup\\textures.ini", "cup."},
    {GlobalFileKind::MeshFolder, "Data\\killkiller\\", ""},
    {GlobalFileKind::TextureList, "Data\\killkiller\\textures.ini", "killme."},
    {GlobalFileKind::MeshFolder, "Data\\killdead\\", ""},
    {GlobalFileKind::TextureList, "Data\\killdead\\textures.ini", "killdead."},
    {GlobalFileKind::MeshFolder, "Data\\giorl\\", ""},
    {GlobalFileKind::TextureList, "Data\\giorl\\textures.ini", "giorl."},
    {GlobalFileKind::Mesh, "data\\dead.geox", ""},
    {GlobalFileKind::Mesh, "data\\sign.geox", ""},
    {GlobalFileKind::MeshFolder, "Data\\burn\\", ""},
    {GlobalFileKind::TextureList, "Data\\burn\\textures.ini", "burn."},
}};

// Files the scenes' Load reads: camera paths, and the throat's curve in the same format.
struct SceneCameraFile {
    std::string_view scene; // the scene class without "tscene_"
    std::string_view path;
    bool eyePositionsOnly = false; // a curve: its records count for their eye positions alone
};

inline constexpr std::array<SceneCameraFile, 24> SceneCameraFiles{{
    {"season", "data\\season.camera"},
    {"baken", "data\\baken.camera"},
    {"atom", "data\\atom.camera"},
    {"grass", "data\\grass.camera"},
    {"giorl", "data\\giorl.camera"},
    {"greet", "data\\dead.camera"},
    {"sign", "data\\sign.camera"},
    {"smallfall", "data\\smallfall.camera"},
    {"waterover", "data\\waterover.camera"},
    {"waterunder", "data\\waterunder.camera"},
    {"waterfilled", "data\\waterfilled.camera"},
    {"cup", "data\\cup.camera"},
    {"cuptwo", "data\\cuptwo.camera"},
    {"stair", "data\\stair.camera"},
    {"sphere", "data\\sphere1.camera"},
    {"killme", "data\\killme1.camera"},
    {"killfall", "data\\killfall1.camera"},
    {"killfall", "data\\killfall2.camera"},
    {"killself", "data\\killself1.camera"},
    {"killself", "data\\killself2.camera"},
    {"killthroat", "data\\killthroat.camera"},
    {"killthroat", "data\\throat.path", true},
    {"subbaken", "data\\subbaken.camera"},
    {"subself", "data\\subself.camera"},
}};

// Texture names the program binds as written (the finishing steps and the loader screen
// included).
inline constexpr std::array<std::string_view, 25> BoundTextureNames{
    "font",  "loader", "title",   "sky",     "grassbottom", "grass",      "tree",        "skybw",
    "grassbottombw", "grassbw", "treebw", "leaf1", "leaf2",   "leaf3",      "leaf4",       "leaf5",
    "atom",  "vinget", "noise",   "prepare", "flatsky",     "waterleafs", "leaf5shadow", "lightsphere",
    "bigshadow"};

// The grass and tree textures of the landscape's two looks (colour, black and white). Season
// draws the world seen through its window only there when each pair cuts out alike: the same
// size, filters and alpha. Otherwise it draws that world over the whole picture, a slower
// frame.
inline constexpr std::array<std::array<std::string_view, 2>, 2> AlikeCutOutTextures{{
    {"grass", "grassbw"},
    {"tree", "treebw"},
}};

// Mesh folders the scenes draw entry by entry, each with the texture named prefix + the
// entry's filtered name.
struct PrefixedMeshFolder {
    std::string_view folder;
    std::string_view prefix;
};

inline constexpr std::array<PrefixedMeshFolder, 10> PrefixedMeshFolders{{
    {"Data\\killself\\", "killself."},
    {"Data\\yard\\", "yard."},
    {"Data\\dno\\", "dno."},
    {"Data\\stair\\", "stair."},
    {"Data\\baken\\", "baken."},
    {"Data\\cup\\", "cup."},
    {"Data\\killkiller\\", "killme."},
    {"Data\\killdead\\", "killdead."},
    {"Data\\giorl\\", "giorl."},
    {"Data\\burn\\", "burn."},
}};
