// The generated meshes, read by the program's own loaders: every mesh the global data set
// loads is sound, every folder entry has its texture, the lists use every format variant,
// and the meshes stand where the scenes' transforms put them.
#include "mesh_scene_space.h"

#include "base/files.h"
#include "base/profile.h"
#include "resources/lum_geox.h"
#include "resources/lum_textures.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <memory>
#include <set>

namespace {

const char* const SingleMeshes[] = {"Data\\leafsmall.geox", "Data\\plane.geox",   "Data\\planebig.geox",
                                    "Data\\leafnormal.geox", "Data\\sphere.geox", "Data\\seasoncut\\cut.geox",
                                    "Data\\grass.geox",     "Data\\tree\\tree.geox", "data\\dead.geox",
                                    "data\\sign.geox"};

struct Folder {
    const char* folder;
    const char* prefix; // nullptr: no texture list
};
const Folder Folders[] = {{"Data\\season\\", nullptr},       {"Data\\seasonwindow\\", nullptr},
                          {"Data\\waterleafs\\", nullptr},   {"Data\\killself\\", "killself."},
                          {"Data\\hand\\", "deadhand."},     {"Data\\yard\\", "yard."},
                          {"Data\\dno\\", "dno."},           {"Data\\stair\\", "stair."},
                          {"Data\\baken\\", "baken."},       {"Data\\cup\\", "cup."},
                          {"Data\\killkiller\\", "killme."}, {"Data\\killdead\\", "killdead."},
                          {"Data\\giorl\\", "giorl."},       {"Data\\burn\\", "burn."}};

// Indices in range, coordinates finite, at most 1 percent zero-area triangles, and a
// triangle count the software renderer can afford.
void ExpectSoundMesh(const GeoxMesh& mesh, const std::string& name)
{
    ASSERT_GT(mesh.vertexCount, 0) << name;
    ASSERT_GT(mesh.triangleCount, 0) << name;
    EXPECT_LE(mesh.triangleCount, 10000) << name;
    for (const GeoxVertex& v : mesh.vertices) {
        ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.u) &&
                    std::isfinite(v.v))
            << name;
    }
    int degenerate = 0;
    for (const GeoxTriangle& t : mesh.triangles) {
        for (int32_t i : {t.i0, t.i1, t.i2}) {
            ASSERT_TRUE(i >= 0 && i < mesh.vertexCount) << name << ": index " << i;
        }
        const GeoxVertex &a = mesh.vertices[t.i0], &b = mesh.vertices[t.i1], &c = mesh.vertices[t.i2];
        double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        degenerate += cx * cx + cy * cy + cz * cz < 1e-12 ? 1 : 0;
    }
    EXPECT_LE(degenerate * 100, mesh.triangleCount) << name << ": " << degenerate << " zero-area triangles";
}

GeoxList LoadFolder(const char* folder)
{
    GeoxList list;
    LoadGeoxList(list, folder, "geox.list");
    return list;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(ResolvePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MeshSet : public GlTest {
protected:
    void SetUp() override { GeneratedDataRoot(); }
};

TEST_F(MeshSet, EveryMeshOfTheGlobalDataSetIsSound)
{
    for (const char* path : SingleMeshes) {
        GeoxMesh mesh;
        LoadGeox(mesh, path);
        ExpectSoundMesh(mesh, path);
    }
    for (const Folder& f : Folders) {
        GeoxList list = LoadFolder(f.folder);
        ASSERT_GT(list.count, 0) << f.folder;
        for (int i = 0; i < list.count; ++i) {
            ExpectSoundMesh(list.meshes[i], std::string(f.folder) + list.names[i]);
        }
    }
    // The leaf is drawn up to 11001 times a frame: one quad, its shape from the textures.
    GeoxMesh leaf;
    LoadGeox(leaf, "Data\\leafsmall.geox");
    EXPECT_EQ(leaf.triangleCount, 2);
    EXPECT_EQ(leaf.vertexCount, 4);
}

TEST_F(MeshSet, EveryListedMeshHasItsTexture)
{
    for (const Folder& f : Folders) {
        if (!f.prefix) {
            EXPECT_FALSE(FileExists(std::string(f.folder) + "textures.ini")) << f.folder;
            continue;
        }
        auto library = std::make_unique<TextureLibrary>();
        CapturedBoxes boxes;
        LoadTextureList(*library, f.prefix, std::string(f.folder) + "textures.ini", f.folder);
        EXPECT_TRUE(boxes.boxes.empty()) << f.folder;
        GeoxList list = LoadFolder(f.folder);
        for (int i = 0; i < list.count; ++i) {
            const std::string name = f.prefix + list.filteredNames[i];
            EXPECT_NE(FindTexture(*library, name), 0u) << f.folder << list.names[i] << " has no texture " << name;
        }
    }
}

TEST_F(MeshSet, ListsUseEveryFormatVariant)
{
    bool textMesh = false, upperCase = false, trailingEmptyLine = false, alphaMap = false;
    std::set<int32_t> filterModes;
    for (const Folder& f : Folders) {
        const std::string list = ReadText(std::string(f.folder) + "geox.list");
        textMesh |= list.find(".TEXTGEOX") != std::string::npos || list.find(".textgeox") != std::string::npos;
        upperCase |= std::any_of(list.begin(), list.end(), [](unsigned char c) { return std::isupper(c); });
        trailingEmptyLine |= list.size() >= 4 && list.compare(list.size() - 4, 4, "\r\n\r\n") == 0;
        if (!f.prefix) {
            continue;
        }
        PrivateProfile ini = PrivateProfile::Load(std::string(f.folder) + "textures.ini");
        for (int i = 0; ini.SectionExists("texture" + std::to_string(i)); ++i) {
            const std::string section = "texture" + std::to_string(i);
            int32_t mode = ini.ReadInteger(section, "filter", 0);
            filterModes.insert(mode == 1 || mode == 2 ? mode : 0);
            alphaMap |= ini.ReadString(section, "filenamealpha", "@@@") != "@@@";
        }
    }
    EXPECT_TRUE(textMesh);
    EXPECT_TRUE(upperCase);
    EXPECT_TRUE(trailingEmptyLine);
    EXPECT_TRUE(alphaMap);
    EXPECT_EQ(filterModes, (std::set<int32_t>{0, 1, 2}));
}

// Where the scenes put the meshes, with the transforms they apply.
TEST_F(MeshSet, MeshesStandWhereTheScenesDrawThem)
{
    // Figures in the yard (ground at 0) are 150 to 210 tall and stand on the ground.
    GeoxList killer = LoadFolder("Data\\killkiller\\");
    Bounds b = WorldBounds(killer.meshes[0], ModelTransform().Translate(-240, 0, -230).Rotate(210, 0, 1, 0)
                                                 .Translate(0, 8, 0).Scale(4));
    EXPECT_NEAR(b.lo.y, 0, 3);
    EXPECT_GT(b.hi.y - b.lo.y, 150);
    EXPECT_LT(b.hi.y - b.lo.y, 210);

    // The dead figure lies on the leaf carpet, which the killme scene lays at height 10.
    GeoxList dead = LoadFolder("Data\\killdead\\");
    b = WorldBounds(dead.meshes[0], ModelTransform().Translate(-100, 0, 300).Scale(4));
    EXPECT_GE(b.lo.y, 9.5f);
    EXPECT_LT(b.hi.y, 70);
    EXPECT_GT(b.hi.z - b.lo.z, 150); // lying at full length

    // The killself leaf stream pours from the lantern's open bottom.
    GeoxList self = LoadFolder("Data\\killself\\");
    int lantern = -1;
    for (int i = 0; i < self.count; ++i) {
        lantern = self.filteredNames[i] == "lantern" ? i : lantern;
    }
    ASSERT_GE(lantern, 0);
    b = WorldBounds(self.meshes[lantern], ModelTransform().Translate(0, 8, 0).Scale(4).Rotate(180, 0, 1, 0));
    EXPECT_NEAR(b.lo.y, 258, 3);
    EXPECT_NEAR((b.lo.x + b.hi.x) / 2, -47.2f, 3);
    EXPECT_NEAR((b.lo.z + b.hi.z) / 2, 195.2f, 3);

    // The greeting's silhouette lies on a mound on the landscape's ground at -24, its top
    // above the tallest tufts (-11) so that it shows against the sky; the body is long, not tall.
    GeoxMesh silhouette;
    LoadGeox(silhouette, "data\\dead.geox");
    b = WorldBounds(silhouette, ModelTransform().Scale(0.2f).Translate(0, -72, 0));
    EXPECT_NEAR(b.lo.y, -24, 1);
    EXPECT_GT(b.hi.y, -11);
    EXPECT_LT(b.hi.y, -6);
    EXPECT_GT(b.hi.x - b.lo.x, 3 * (b.hi.y + 24 - 11));

    // The smallfall leaves hang in the yard poplar's crown: (+-110, 2430..2660, 1810).
    GeoxList yard = LoadFolder("Data\\yard\\");
    bool crownHoldsLeaves = false;
    for (int i = 0; i < yard.count; ++i) {
        b = WorldBounds(yard.meshes[i], ModelTransform().Translate(0, 0, 1850));
        crownHoldsLeaves |= b.Contains({-110, 2430, 1810}) && b.Contains({110, 2660, 1810});
        EXPECT_GE(b.lo.y, -25) << yard.names[i];
    }
    EXPECT_TRUE(crownHoldsLeaves);

    // The baken leaves start at 242 inside the beacon's lantern house.
    GeoxList beacon = LoadFolder("Data\\baken\\");
    float top = -1e9f;
    for (int i = 0; i < beacon.count; ++i) {
        top = std::max(top, WorldBounds(beacon.meshes[i], ModelTransform().Translate(0, -24, 0)).hi.y);
    }
    EXPECT_GT(top, 242);
    EXPECT_LT(top, 320);

    // The two swinging giorl meshes hang from the bar at 16.7 once lowered by 0.2.
    GeoxList giorl = LoadFolder("Data\\giorl\\");
    b = WorldBounds(giorl.meshes[0], ModelTransform().Translate(0, 16.7f, 0).Translate(0, -16.9f, 0));
    EXPECT_NEAR(b.hi.y, 16.7f, 0.5f);

    // The cut of the season window covers the frame's opening and reaches the frame.
    GeoxList window = LoadFolder("Data\\seasonwindow\\");
    GeoxMesh cut;
    LoadGeox(cut, "Data\\seasoncut\\cut.geox");
    Bounds frame = WorldBounds(window.meshes[0], ModelTransform().Translate(0, -24, 0).Scale(0.5f));
    Bounds opening = WorldBounds(cut, ModelTransform().Translate(0, -24, 0).Scale(0.51f));
    EXPECT_TRUE(frame.Contains(opening.lo) && frame.Contains(opening.hi));
    EXPECT_GT(opening.hi.x - opening.lo.x, 0.6f * (frame.hi.x - frame.lo.x));
}

TEST_F(MeshSet, WaterSurfaceResolvesTheWavesUnderEveryLeaf)
{
    GeoxList water = LoadFolder("Data\\waterleafs\\");
    ASSERT_GE(water.count, 2);
    ASSERT_LE(water.count, 100);
    const GeoxMesh& surface = water.meshes[0];
    Bounds whole = WorldBounds(surface);
    // Waves of wavelength 8 pi: at least eight vertices a wavelength along each axis.
    const double wavelength = 8 * 3.14159265358979;
    double columns = std::sqrt(static_cast<double>(surface.vertexCount)) - 1;
    EXPECT_LE((whole.hi.x - whole.lo.x) / columns, wavelength / 8);
    EXPECT_NEAR(whole.hi.y, 0, 1e-6);
    for (int i = 1; i < water.count; ++i) {
        Bounds leaf = WorldBounds(water.meshes[i]);
        EXPECT_TRUE(whole.Contains({leaf.lo.x, 0, leaf.lo.z}) && whole.Contains({leaf.hi.x, 0, leaf.hi.z}))
            << water.names[i];
        EXPECT_LT(leaf.hi.y, 1) << water.names[i]; // floats flat on the water
    }
}

} // namespace
