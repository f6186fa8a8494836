// The generated data set as the program meets it: the start-up's font and loader, the
// whole LoadGlobalData without a message box or an error, every texture name the scenes
// bind, packed files that hold complete JPEGs, and two runs that write the same bytes.
#include "datagen/datagen.h"

#include "base/error.h"
#include "base/files.h"
#include "base/picture_size.h"
#include "base/random.h"
#include "gl/gl.h"
#include "resources/globaldata.h"
#include "resources/lum_log.h"
#include "resources/lum_textures.h"
#include "resources/norvikpack.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::vector<char>> ReadTree(const fs::path& root)
{
    std::map<std::string, std::vector<char>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] =
            std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return files;
}

class GeneratedData : public GlTest {
protected:
    static void SetUpTestSuite()
    {
        GlTest::SetUpTestSuite();
        folder = std::make_unique<TempDir>();
        DataSetOptions options;
        options.withSoundtrack = false;
        options.progress = false;
        GenerateDataSet(folder->Path().string(), options);
    }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        LogEnabled = false;
        SetDataRoot(folder->Path().string());
    }
    void TearDown() override { SetDataRoot(""); }

    static std::unique_ptr<TempDir> folder;
};

std::unique_ptr<TempDir> GeneratedData::folder;

std::vector<uint8_t> AlphaTexels(GLuint id, int& size)
{
    glBindTexture(GL_TEXTURE_2D, id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size);
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// Sum of the alpha channel over one cell of a 16 x 16 grid.
long CellAlpha(const std::vector<uint8_t>& rgba, int size, int column, int row)
{
    const int cell = size / 16;
    long sum = 0;
    for (int y = row * cell; y < (row + 1) * cell; ++y)
        for (int x = column * cell; x < (column + 1) * cell; ++x) sum += rgba[(static_cast<size_t>(y) * size + x) * 4 + 3];
    return sum;
}

TEST_F(GeneratedData, StartUpAndGlobalDataLoadWithoutBoxOrError)
{
    for (const char* path : {"data\\font.jpg.packed", "data\\font_alpha.jpg.packed", "data\\loader.jpg.packed",
                             "Data\\globaltextures.ini"})
        EXPECT_TRUE(FileExists(path)) << path;

    CapturedBoxes boxes;
    SetRandomSeed(StartUpRandomSeed);
    ClearTextureLibrary(GlobalTextures);
    const GLuint font = LoadAlphaTexture("data\\font.jpg.packed", "data\\font_alpha.jpg.packed", GL_LINEAR, GL_LINEAR);
    AddTexture(GlobalTextures, "font", font);
    AddTexture(GlobalTextures, "loader", LoadTexture("data\\loader.jpg.packed", GL_LINEAR, GL_LINEAR));
    ASSERT_NO_THROW(LoadGlobalData());
    for (const auto& box : boxes.boxes) ADD_FAILURE() << "message box: " << box.text;

    for (const char* name : {"sky", "skybw", "grassbottom", "grassbottombw", "grass", "grassbw", "tree", "treebw",
                             "flatsky", "leaf1", "leaf2", "leaf3", "leaf4", "leaf5", "leaf5shadow", "waterleafs",
                             "lightsphere", "vinget", "noise", "title", "atom", "prepare", "bigshadow"})
        EXPECT_NE(FindTexture(GlobalTextures, name), 0u) << name;
    // Every mesh of a folder with a texture list finds its texture by prefix + filtered name.
    const std::pair<const GeoxList*, const char*> folders[] = {
        {&KillSelfList, "killself."}, {&HandList, "deadhand."}, {&YardList, "yard."},   {&DnoList, "dno."},
        {&StairList, "stair."},       {&BakenList, "baken."},   {&CupList, "cup."},     {&KillKillerList, "killme."},
        {&KillDeadList, "killdead."}, {&GiorlList, "giorl."},   {&BurnList, "burn."}};
    for (const auto& [list, prefix] : folders) {
        EXPECT_GT(list->count, 0) << prefix;
        for (int i = 0; i < list->count; ++i)
            EXPECT_NE(FindTexture(GlobalTextures, prefix + list->filteredNames[static_cast<size_t>(i)]), 0u)
                << prefix << list->filteredNames[static_cast<size_t>(i)];
    }

    // Pictures drawn large load larger images of the pictures that fill the screen: doubles of
    // the font, the loader picture, the title and the sign; doubles and images four times the
    // size of the skies, the ground and the walls, and the film grain.
    const TextureListFiles doubled[] = {{"data\\font.jpg.packed", "data\\font_alpha.jpg.packed"},
                                        {"data\\loader.jpg.packed", ""},
                                        {"Data\\textures\\title.jpg.packed", ""},
                                        {"Data\\textures\\prepare.jpg.packed", "Data\\textures\\prepare_alpha.jpg.packed"}};
    const TextureListFiles quadrupled[] = {{"Data\\sky.jpg", ""},
                                           {"Data\\textures\\skybw.jpg.packed", ""},
                                           {"Data\\textures\\flatsky.jpg.packed", ""},
                                           {"Data\\textures\\grassbottom.jpg", ""},
                                           {"Data\\textures\\grassbottombw.jpg.cashed.bmp", ""},
                                           {"Data\\textures\\noise.jpg.packed", "Data\\textures\\noise_alpha.jpg.packed"},
                                           {"Data\\yard\\ground.jpg.packed", ""},
                                           {"Data\\yard\\walls.jpg.packed", ""},
                                           {"Data\\yard\\farwall.jpg.packed", ""},
                                           {"Data\\giorl\\ground.jpg", ""},
                                           {"Data\\dno\\bottom.jpg.packed", ""},
                                           {"Data\\dno\\bank.jpg.packed", ""}};
    auto expectScaled = [](const TextureListFiles& files, int scale) {
        const std::optional<TextureListFiles> larger = LargerImageFiles(files, scale);
        ASSERT_TRUE(larger) << files.colour << " at " << scale;
        const DecodedImage image = ReadTextureImage(files.colour), scaled = ReadTextureImage(larger->colour);
        EXPECT_EQ(scaled.width, scale * image.width) << larger->colour;
        EXPECT_EQ(scaled.height, scale * image.height) << larger->colour;
        if (!files.alpha.empty()) {
            EXPECT_EQ(ReadTextureImage(larger->alpha).width, scale * image.width) << larger->alpha;
        }
    };
    for (const TextureListFiles& files : doubled) {
        expectScaled(files, 2);
        EXPECT_FALSE(LargerImageFiles(files, 4)) << files.colour;
    }
    for (const TextureListFiles& files : quadrupled)
        for (int scale : {2, 4}) expectScaled(files, scale);
    const TextureListFiles largerFont = *LargerImageFiles(doubled[0], 2);
    // A picture of 720 rows and more loads the doubles, of 1440 and more the largest there are.
    const TextureListFiles& noise = quadrupled[5];
    EXPECT_EQ(FilesForPicture(doubled[0]).alpha, doubled[0].alpha);
    EXPECT_EQ(FilesForPicture(noise).alpha, noise.alpha);
    SetPictureSize({960, 720});
    EXPECT_EQ(FilesForPicture(doubled[0]).alpha, largerFont.alpha);
    EXPECT_EQ(FilesForPicture(noise).alpha, LargerImageFiles(noise, 2)->alpha);
    SetPictureSize({1920, 1440});
    EXPECT_EQ(FilesForPicture(doubled[0]).alpha, largerFont.alpha);
    EXPECT_EQ(FilesForPicture(noise).colour, LargerImageFiles(noise, 4)->colour);
    EXPECT_EQ(FilesForPicture(noise).alpha, LargerImageFiles(noise, 4)->alpha);
    SetPictureSize(PieceFrameSize);

    // The font, in both sizes: "A" (65) in column 1, row 4 from the top has ink; code 0 has
    // none, and the glyph stays off its cell's edge.
    for (const GLuint atlasId : {font, LoadAlphaTexture(largerFont.colour, largerFont.alpha, GL_LINEAR, GL_LINEAR)}) {
        int size = 0;
        const std::vector<uint8_t> atlas = AlphaTexels(atlasId, size);
        ASSERT_EQ(size % 16, 0);
        const int cell = size / 16;
        EXPECT_GT(CellAlpha(atlas, size, 1, 4), 255L * cell * cell / 20) << size;
        EXPECT_LT(CellAlpha(atlas, size, 0, 0), 255L * cell) << size;
        long border = 0;
        for (int x = cell; x < 2 * cell; ++x) border += atlas[(static_cast<size_t>(4 * cell) * size + x) * 4 + 3];
        EXPECT_LT(border, 255L * 2) << size;
    }

    // The vignette leaves the middle of the picture alone and darkens its corners.
    int size = 0;
    const std::vector<uint8_t> vignette = AlphaTexels(FindTexture(GlobalTextures, "vinget"), size);
    EXPECT_GE(vignette[(static_cast<size_t>(size / 2) * size + size / 2) * 4 + 3], 250);
    EXPECT_LT(vignette[3], 100);
}

TEST_F(GeneratedData, EveryPackedFileHoldsACompleteJpeg)
{
    int packedFiles = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder->Path() / "Data")) {
        if (entry.path().extension() != ".packed") continue;
        ++packedFiles;
        const int32_t size = UnpackFile(entry.path().string());
        ASSERT_GT(size, 4) << entry.path();
        EXPECT_EQ(UnpackBuffer[0], 0xFF) << entry.path();
        EXPECT_EQ(UnpackBuffer[1], 0xD8) << entry.path();
        EXPECT_EQ(UnpackBuffer[size - 2], 0xFF) << entry.path();
        EXPECT_EQ(UnpackBuffer[size - 1], 0xD9) << entry.path();
    }
    EXPECT_GE(packedFiles, 20);
}

TEST_F(GeneratedData, TwoRunsWriteIdenticalTrees)
{
    TempDir second;
    DataSetOptions options;
    options.withSoundtrack = false;
    options.progress = false;
    GenerateDataSet(second.Path().string(), options);
    const auto first = ReadTree(folder->Path() / "Data");
    const auto again = ReadTree(second.Path() / "Data");
    ASSERT_EQ(first.size(), again.size());
    for (const auto& [name, bytes] : first) {
        const auto other = again.find(name);
        ASSERT_NE(other, again.end()) << name;
        EXPECT_TRUE(bytes == other->second) << name;
    }
}

} // namespace
