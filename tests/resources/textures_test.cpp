// The texture library, the image loaders (through real JPEG, BMP and packed files) and
// the "textures.ini" lists.
#include "image_files.h"
#include "lzhuf_encoder.h"
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "base/error.h"
#include "gl/gl.h"
#include "resources/image_readers.h"
#include "resources/lum_log.h"
#include "resources/lum_textures.h"
#include "resources/norvikpack.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

TEST(TextureLibrary, FirstOfDuplicatesWinsNamesAreCutAndCaseMatters)
{
    auto library = std::make_unique<TextureLibrary>();
    AddTexture(*library, "leaf", 5);
    AddTexture(*library, "leaf", 6);
    EXPECT_EQ(FindTexture(*library, "leaf"), 5u);

    const std::string forty = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    AddTexture(*library, forty, 7);
    EXPECT_EQ(std::string(library->names[2]), forty.substr(0, 32));
    EXPECT_EQ(FindTexture(*library, forty), 0u);
    EXPECT_EQ(FindTexture(*library, forty.substr(0, 32)), 7u);
    EXPECT_EQ(FindTexture(*library, "Leaf"), 0u);
    EXPECT_EQ(FindTexture(*library, ""), 0u);

    ClearTextureLibrary(*library);
    EXPECT_EQ(FindTexture(*library, "leaf"), 0u);
}

TEST(TextureLibrary, TheThousandAndFirstTextureIsAnError)
{
    auto library = std::make_unique<TextureLibrary>();
    for (int i = 0; i < kTextureLibraryCapacity; ++i) AddTexture(*library, StrFormat("t%d", i), static_cast<GLuint>(i + 1));
    EXPECT_EQ(FindTexture(*library, "t999"), 1000u);
    const std::string message = FatalMessage([&] { AddTexture(*library, "straw", 1); });
    EXPECT_NE(message.find("straw"), std::string::npos) << message;
    EXPECT_EQ(library->count, kTextureLibraryCapacity);
}

class TextureTest : public GlTest {
protected:
    void SetUp() override { LogEnabled = false; }

    // The texture's level 0, rows in upload order (row 0 = top of the image).
    static std::vector<uint8_t> TexelsOf(GLuint id, GLenum format, int& width, int& height)
    {
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        const int components = format == GL_RGBA ? 4 : 3;
        std::vector<uint8_t> texels(static_cast<size_t>(width) * height * components);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    static void ExpectPicture(GLuint id, const TestPicture& picture, int tolerance)
    {
        int width = 0, height = 0;
        const std::vector<uint8_t> texels = TexelsOf(id, GL_RGB, width, height);
        ASSERT_EQ(width, picture.width);
        ASSERT_EQ(height, picture.height);
        int worst = 0;
        for (size_t i = 0; i < texels.size(); ++i) worst = std::max(worst, std::abs(texels[i] - picture.rgb[i]));
        EXPECT_LE(worst, tolerance);
    }

    static GLint FilterOf(GLuint id, GLenum which)
    {
        glBindTexture(GL_TEXTURE_2D, id);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    }

    // A picture whose colour says which file it came from.
    static TestPicture Flat(uint8_t r, uint8_t g, uint8_t b)
    {
        TestPicture picture{8, 8, std::vector<uint8_t>(8 * 8 * 3)};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) picture.Set(x, y, r, g, b);
        return picture;
    }

    static uint8_t RedOf(GLuint id)
    {
        int width = 0, height = 0;
        return TexelsOf(id, GL_RGB, width, height)[0];
    }

    std::string Folder() const { return m_folder.Path().string() + "/"; }

    TempDir m_folder;
};

TEST_F(TextureTest, JpegAndBmpFilesLoadTopRowFirst)
{
    // Power-of-two sides, so the mipmap builder uploads level 0 unscaled.
    const TestPicture picture = BlockPicture(4, 2);
    const GLuint jpeg = LoadTexture(m_folder.Write("blocks.jpg", JpegBytes(picture)), GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
    ExpectPicture(jpeg, picture, 6);
    EXPECT_EQ(FilterOf(jpeg, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(FilterOf(jpeg, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), jpeg);

    // Two pixels wide: RGB rows of 6 bytes, which GL's default alignment of 4 would skew.
    TestPicture narrow{2, 4, std::vector<uint8_t>(2 * 4 * 3)};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) narrow.Set(x, y, static_cast<uint8_t>(x * 200), static_cast<uint8_t>(y * 60), 7);
    for (const int bits : {24, 32}) {
        for (const bool topDown : {false, true}) {
            const std::string path = m_folder.Write(
                "narrow" + std::to_string(bits) + (topDown ? "t" : "b") + ".bmp", BmpBytes(narrow, bits, topDown));
            ExpectPicture(LoadTexture(path, GL_NEAREST, GL_NEAREST), narrow, 0);
        }
    }
}

TEST(ImageReaders, BmpRowsOfOddWidthsWithPadding)
{
    TestPicture odd{3, 5, std::vector<uint8_t>(3 * 5 * 3)};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) odd.Set(x, y, static_cast<uint8_t>(x * 80), static_cast<uint8_t>(y * 50), 7);
    for (const int bits : {24, 32}) {
        for (const bool topDown : {false, true}) {
            const std::vector<uint8_t> bytes = BmpBytes(odd, bits, topDown);
            const DecodedImage image = DecodeBmp(bytes.data(), bytes.size(), "odd.bmp");
            EXPECT_EQ(image.width, 3);
            EXPECT_EQ(image.height, 5);
            EXPECT_EQ(image.rgb, odd.rgb) << bits << (topDown ? " top-down" : " bottom-up");
        }
    }
}

TEST(ImageReaders, EveryBmpHeaderFieldIsChecked)
{
    const std::vector<uint8_t> good = BmpBytes(BlockPicture(1, 1), 24, false);
    auto patched = [&](size_t at, std::vector<uint8_t> values) {
        std::vector<uint8_t> bytes = good;
        std::copy(values.begin(), values.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
        return bytes;
    };
    const struct {
        std::vector<uint8_t> bytes;
        const char* fault;
    } cases[] = {
        {std::vector<uint8_t>(good.begin(), good.begin() + 30), "truncated"},
        {patched(0, {'P', 'K'}), "signature"},
        {patched(14, {12, 0, 0, 0}), "info header"},
        {patched(14, {0xFF, 0xFF, 0, 0}), "info header"},
        {patched(10, {0xFF, 0xFF, 0xFF, 0x7F}), "truncated"},
        {patched(10, {4, 0, 0, 0}), "truncated"},
        {patched(18, {0, 0, 0, 0}), "invalid size"},
        {patched(18, {0xFF, 0xFF, 0xFF, 0xFF}), "invalid size"},
        {patched(22, {0, 0, 0, 0x80}), "invalid size"},
        {patched(18, {0, 0, 1, 0}), "too large"},
        {patched(22, {0x09, 0, 0, 0}), "truncated"},
        {patched(26, {2, 0}), "planes"},
        {patched(28, {16, 0}), "bits per pixel"},
        {patched(30, {1, 0, 0, 0}), "compression"},
        {patched(30, {3, 0, 0, 0}), "compression"},
    };
    for (const auto& test : cases) {
        const std::string message = FatalMessage([&] { DecodeBmp(test.bytes.data(), test.bytes.size(), "bad.bmp"); });
        EXPECT_EQ(message.rfind("bad.bmp: BMP: ", 0), 0u) << message;
        EXPECT_NE(message.find(test.fault), std::string::npos) << test.fault << ": " << message;
    }
}

TEST_F(TextureTest, PackedJpegDecodesFromTheUnpackBuffer)
{
    const TestPicture picture = BlockPicture(2, 2);
    const std::vector<uint8_t> jpeg = JpegBytes(picture);
    std::vector<uint8_t> padded = jpeg; // bytes after the end-of-image marker are ignored
    padded.insert(padded.end(), 50, 0xEE);
    const std::string path = m_folder.Write("data/loader.jpg.packed", EncodeLzhufForTest(padded).bytes);
    ExpectPicture(LoadTexture(path, GL_LINEAR, GL_LINEAR), picture, 6);

    // An empty packed image must not show the bytes the last one left behind.
    std::vector<uint8_t> empty(17, 0);
    const std::string emptyPath = m_folder.Write("empty.jpg.packed", empty);
    const std::string message = FatalMessage([&] { LoadTexture(emptyPath, GL_LINEAR, GL_LINEAR); });
    EXPECT_NE(message.find("empty.jpg.packed"), std::string::npos) << message;
}

TEST_F(TextureTest, BrokenImagesAreErrorsNamingTheFile)
{
    const std::vector<uint8_t> jpeg = JpegBytes(BlockPicture(4, 4));
    const std::vector<uint8_t> truncated(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(jpeg.size() / 2));
    std::vector<uint8_t> notJpeg = {'h', 'e', 'l', 'l', 'o'};
    std::vector<uint8_t> bmp = BmpBytes(BlockPicture(2, 2), 32, false);
    std::vector<uint8_t> shortBmp(bmp.begin(), bmp.end() - 1);
    std::vector<uint8_t> hugeBmp = bmp;
    hugeBmp[22] = 0xFF; // height 255 rows with the pixels of 16
    std::vector<uint8_t> paletteBmp = bmp;
    paletteBmp[28] = 8;
    const struct {
        const char* name;
        const std::vector<uint8_t>& bytes;
        const char* fault;
    } cases[] = {
        {"half.jpg", truncated, "JPEG error #"},
        {"hello.jpg", notJpeg, "JPEG error #"},
        {"short.bmp", shortBmp, "truncated"},
        {"huge.bmp", hugeBmp, "truncated"},
        {"palette.bmp", paletteBmp, "bits per pixel"},
    };
    for (const auto& test : cases) {
        const std::string path = m_folder.Write(test.name, test.bytes);
        const std::string message = FatalMessage([&] { LoadTexture(path, GL_LINEAR, GL_LINEAR); });
        EXPECT_EQ(message.rfind(path, 0), 0u) << message;
        EXPECT_NE(message.find(test.fault), std::string::npos) << message;
    }
    const std::string missing = FatalMessage([&] { LoadTexture(Folder() + "none.jpg", GL_LINEAR, GL_LINEAR); });
    EXPECT_NE(missing.find("none.jpg: cannot open"), std::string::npos) << missing;
}

TEST_F(TextureTest, AlphaComesFromTheBlueOfTheAlphaImageOfTheSameSize)
{
    const TestPicture colour = BlockPicture(2, 1);
    TestPicture alpha = Flat(0, 0, 0);
    alpha.width = 16;
    alpha.rgb.assign(16 * 8 * 3, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) alpha.Set(x, y, 255, 255, x < 8 ? 0 : 200); // only blue matters
    const std::string colourPath = m_folder.Write("font.bmp", BmpBytes(colour, 24, false));
    const std::string alphaPath = m_folder.Write("font_alpha.bmp", BmpBytes(alpha, 32, false));
    const GLuint id = LoadAlphaTexture(colourPath, alphaPath, GL_LINEAR, GL_LINEAR);
    int width = 0, height = 0;
    const std::vector<uint8_t> texels = TexelsOf(id, GL_RGBA, width, height);
    ASSERT_EQ(width, 16);
    EXPECT_EQ(texels[0 * 4 + 3], 0);
    EXPECT_EQ(texels[15 * 4 + 3], 200);
    EXPECT_EQ(texels[15 * 4 + 0], colour.rgb[15 * 3 + 0]);

    const std::string greyPath = m_folder.Write("grey.jpg", JpegBytes(alpha, /*grey=*/true));
    const GLuint fromGrey = LoadAlphaTexture(colourPath, greyPath, GL_LINEAR, GL_LINEAR);
    EXPECT_NEAR(TexelsOf(fromGrey, GL_RGBA, width, height)[15 * 4 + 3], 200, 3);

    const std::string smallPath = m_folder.Write("small.bmp", BmpBytes(Flat(1, 2, 3), 24, false));
    const std::string message = FatalMessage([&] { LoadAlphaTexture(colourPath, smallPath, GL_LINEAR, GL_LINEAR); });
    EXPECT_NE(message.find("small.bmp"), std::string::npos) << message;
    EXPECT_NE(message.find("font.bmp"), std::string::npos) << message;
}

// A cut-out keeps, in every mipmap level, the share of its texels that pass the alpha test
// (GL_GREATER 0.5): single opaque texels, one in eight, average to a quarter in the builder's
// smaller levels, where they would vanish. The colours stay the builder's.
TEST_F(TextureTest, AlphaMipmapsKeepTheShareThatPassesTheAlphaTest)
{
    const TestPicture colour = BlockPicture(4, 4);
    TestPicture dots{32, 32, std::vector<uint8_t>(32 * 32 * 3)};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) dots.Set(x, y, 0, 0, x % 4 == 0 && y % 2 == 0 ? 255 : 0);
    const GLuint loaded = LoadAlphaTexture(m_folder.Write("cut.bmp", BmpBytes(colour, 24, false)),
                                           m_folder.Write("cut_alpha.bmp", BmpBytes(dots, 24, false)), GL_LINEAR,
                                           GL_LINEAR_MIPMAP_LINEAR);
    int width = 0, height = 0;
    const std::vector<uint8_t> full = TexelsOf(loaded, GL_RGBA, width, height);
    GLuint built = 0;
    glGenTextures(1, &built);
    glBindTexture(GL_TEXTURE_2D, built);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, 32, 32, GL_RGBA, GL_UNSIGNED_BYTE, full.data());
    auto level = [](GLuint id, int index, int side) {
        std::vector<uint8_t> rgba(static_cast<size_t>(side) * side * 4);
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexImage(GL_TEXTURE_2D, index, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    auto passing = [](const std::vector<uint8_t>& rgba) {
        size_t count = 0;
        for (size_t i = 3; i < rgba.size(); i += 4) count += rgba[i] > 127;
        return static_cast<double>(count) / static_cast<double>(rgba.size() / 4);
    };
    EXPECT_EQ(passing(full), 0.125);
    EXPECT_EQ(passing(level(built, 1, 16)), 0.0) << "the builder's level loses the texels";
    for (int index = 1, side = 16; side >= 2; ++index, side /= 2) {
        const std::vector<uint8_t> kept = level(loaded, index, side), plain = level(built, index, side);
        EXPECT_GE(passing(kept), 0.125) << "level " << index;
        for (size_t i = 0; i < kept.size(); ++i) {
            if (i % 4 == 3) continue;
            ASSERT_EQ(kept[i], plain[i]) << "level " << index << " byte " << i;
        }
    }
}

TEST_F(TextureTest, ListsLoadTheirSectionsWithFiltersAndPrefix)
{
    m_folder.Write("a.jpg", JpegBytes(Flat(200, 0, 0)));
    m_folder.Write("b.bmp", BmpBytes(Flat(0, 200, 0), 32, false));
    m_folder.Write("c.jpg", JpegBytes(Flat(0, 0, 200)));
    m_folder.Write("c_alpha.bmp", BmpBytes(Flat(0, 0, 99), 24, true));
    const std::string list = m_folder.Write("textures.ini",
                                            std::string("[texture0]\r\nname=rim\r\nfilename=a.jpg\r\nfilter=1\r\n"
                                                        "[texture1]\r\n"
                                                        "[TEXTURE5]\r\nNAME=b\r\nFileName=b.bmp\r\nfilter=7\r\n"
                                                        "[texture7]\r\nname=c\r\nfilter=$2\r\nfilenamealpha=c_alpha.bmp\r\n"
                                                        "[texture1000]\r\nname=never\r\n"));
    auto library = std::make_unique<TextureLibrary>();
    LoadTextureList(*library, "cup.", list, Folder());
    ASSERT_EQ(library->count, 3);
    EXPECT_EQ(std::string(library->names[0]), "cup.rim");
    EXPECT_EQ(std::string(library->names[1]), "cup.b");
    EXPECT_EQ(std::string(library->names[2]), "cup.c");

    const GLuint rim = FindTexture(*library, "cup.rim");
    EXPECT_EQ(FilterOf(rim, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(FilterOf(rim, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    const GLuint b = FindTexture(*library, "cup.b");
    EXPECT_EQ(FilterOf(b, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(FilterOf(b, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    const GLuint c = FindTexture(*library, "cup.c");
    EXPECT_EQ(FilterOf(c, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    int width = 0, height = 0;
    EXPECT_EQ(TexelsOf(c, GL_RGBA, width, height)[3], 99); // the default file name is name + ".jpg"

    BindTexture(*library, "cup.b");
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), b);
    glDisable(GL_TEXTURE_2D);
    BindTexture(*library, "absent");
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(TextureTest, CachedBmpThenPackedVariantsTakeOver)
{
    // sky: only the packed file exists. wall: a cached BMP and a packed file both exist,
    // and the packed test then looks for the cached name + ".packed", which is absent.
    m_folder.Write("sky.jpg.packed", EncodeLzhufForTest(JpegBytes(Flat(10, 0, 0))).bytes);
    m_folder.Write("wall.jpg", JpegBytes(Flat(50, 0, 0)));
    m_folder.Write("wall.jpg.cashed.bmp", BmpBytes(Flat(100, 0, 0), 32, false));
    m_folder.Write("wall.jpg.packed", EncodeLzhufForTest(JpegBytes(Flat(150, 0, 0))).bytes);
    const std::string list = m_folder.Write("textures.ini", std::string("[texture0]\nname=sky\n[texture1]\nname=wall\n"));
    auto library = std::make_unique<TextureLibrary>();
    LoadTextureList(*library, "", list, Folder());
    EXPECT_NEAR(RedOf(FindTexture(*library, "sky")), 10, 3);
    EXPECT_EQ(RedOf(FindTexture(*library, "wall")), 100);

    // A packed cached BMP keeps ".bmp" in its name and is read as a BMP: the packed bytes
    // are no BMP, and the error says which file.
    m_folder.Write("moss.jpg.cashed.bmp", BmpBytes(Flat(1, 0, 0), 32, false));
    m_folder.Write("moss.jpg.cashed.bmp.packed", EncodeLzhufForTest(BmpBytes(Flat(2, 0, 0), 32, false)).bytes);
    const std::string mossList = m_folder.Write("moss.ini", std::string("[texture0]\nname=moss\n"));
    const std::string message = FatalMessage([&] { LoadTextureList(*library, "", mossList, Folder()); });
    EXPECT_NE(message.find("moss.jpg.cashed.bmp.packed: BMP: "), std::string::npos) << message;
}

TEST_F(TextureTest, EntriesWithoutANameShowTheBoxThenFail)
{
    const std::string list = m_folder.Write("textures.ini", std::string("[texture3]\nfilter=2\n"));
    auto library = std::make_unique<TextureLibrary>();
    CapturedBoxes boxes;
    const std::string message = FatalMessage([&] { LoadTextureList(*library, "p", list, Folder()); });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "error in texture " + Folder() + "!.jpg");
    EXPECT_NE(message.find("!.jpg: cannot open"), std::string::npos) << message;
    EXPECT_EQ(library->count, 0);
}

TEST_F(TextureTest, AListThatWouldOverfillTheLibraryNamesTheList)
{
    m_folder.Write("a.jpg", JpegBytes(Flat(1, 2, 3)));
    const std::string list = m_folder.Write("many.ini", std::string("[texture0]\nname=a\n[texture1]\nname=a\n"));
    auto library = std::make_unique<TextureLibrary>();
    for (int i = 0; i < kTextureLibraryCapacity - 1; ++i) AddTexture(*library, "x", 1);
    const std::string message = FatalMessage([&] { LoadTextureList(*library, "", list, Folder()); });
    EXPECT_EQ(message.rfind(list, 0), 0u) << message;
    EXPECT_EQ(library->count, kTextureLibraryCapacity);
}

TEST_F(TextureTest, EmptyTexturesAreBlackWithLinearFilters)
{
    const GLuint id = CreateEmptyTexture(128, 128);
    int width = 0, height = 0;
    const std::vector<uint8_t> texels = TexelsOf(id, GL_RGB, width, height);
    EXPECT_EQ(width, 128);
    EXPECT_EQ(height, 128);
    EXPECT_EQ(std::count(texels.begin(), texels.end(), 0), static_cast<ptrdiff_t>(texels.size()));
    EXPECT_EQ(FilterOf(id, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(FilterOf(id, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

} // namespace
