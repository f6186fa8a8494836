// Every format the writers produce, read back by the program's own loaders: binary and
// text geox, "geox.list" with upper-case entries and trailing empty lines, ".camera",
// and a "textures.ini" list with JPEG, packed JPEG, 32- and 24-bit BMP, a cached BMP
// shadowing a plain file, packed and plain alpha maps and the three filter modes.
#include "datagen/image.h"
#include "datagen/writers.h"

#include "base/error.h"
#include "base/files.h"
#include "gl/gl.h"
#include "render/lum_camera.h"
#include "resources/lum_geox.h"
#include "resources/lum_log.h"
#include "resources/lum_textures.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

MeshData SampleMesh()
{
    MeshData mesh;
    mesh.vertices = {{0, 0, 0, 0, 0}, {1.5f, -2.25f, 3.125f, 1, 0}, {-0.1f, 1e-5f, 12345.678f, 0.25f, 0.75f},
                     {7, 8, 9, 0.333333343f, 1}};
    mesh.triangles = {{0, 1, 2}, {2, 3, 0}};
    return mesh;
}

void ExpectSameMesh(const GeoxMesh& loaded, const MeshData& mesh)
{
    ASSERT_EQ(loaded.vertexCount, static_cast<int32_t>(mesh.vertices.size()));
    ASSERT_EQ(loaded.triangleCount, static_cast<int32_t>(mesh.triangles.size()));
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        EXPECT_EQ(loaded.vertices[i].x, mesh.vertices[i].x) << i;
        EXPECT_EQ(loaded.vertices[i].y, mesh.vertices[i].y) << i;
        EXPECT_EQ(loaded.vertices[i].z, mesh.vertices[i].z) << i;
        EXPECT_EQ(loaded.vertices[i].u, mesh.vertices[i].u) << i;
        EXPECT_EQ(loaded.vertices[i].v, mesh.vertices[i].v) << i;
    }
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
        EXPECT_EQ(loaded.triangles[i].i0, mesh.triangles[i][0]);
        EXPECT_EQ(loaded.triangles[i].i1, mesh.triangles[i][1]);
        EXPECT_EQ(loaded.triangles[i].i2, mesh.triangles[i][2]);
    }
}

class WrittenFiles : public GlTest {
protected:
    void SetUp() override
    {
        LogEnabled = false;
        SetDataRoot(dir.Path().string());
    }
    void TearDown() override { SetDataRoot(""); }

    TempDir dir;
    DataTree tree{(dir.Path() / "Data").string()};
};

TEST_F(WrittenFiles, GeoxBinaryTextAndListsReadBack)
{
    const MeshData mesh = SampleMesh();
    tree.Write("one.geox", EncodeGeox(mesh));
    GeoxMesh binary;
    LoadGeox(binary, "Data\\one.geox");
    ExpectSameMesh(binary, mesh);

    tree.Write("one.textgeox", EncodeTextGeox(mesh));
    GeoxMesh text;
    LoadTextGeox(text, "Data\\one.textgeox");
    ExpectSameMesh(text, mesh);

    // Upper-case entries, a text mesh, and two empty lines after the last entry.
    tree.Write("folder/leaf_01.geox", EncodeGeox(mesh));
    tree.Write("folder/wall.textgeox", EncodeTextGeox(mesh));
    std::string list = EncodeGeoxList({"LEAF_01.GEOX", "Wall.TEXTGEOX"});
    list += "\r\n\r\n";
    tree.Write("folder/geox.list", list);
    GeoxList loaded;
    LoadGeoxList(loaded, "Data\\folder\\", "geox.list");
    ASSERT_EQ(loaded.count, 2);
    EXPECT_EQ(loaded.names[0], "leaf_01.geox");
    EXPECT_EQ(loaded.filteredNames[0], "leaf");
    EXPECT_EQ(loaded.filteredNames[1], "wall");
    ExpectSameMesh(loaded.meshes[0], mesh);
    ExpectSameMesh(loaded.meshes[1], mesh);
}

TEST_F(WrittenFiles, CameraRecordsReadBackIntoTheirSlots)
{
    std::vector<CameraKey> records(1, CameraKey{});
    for (int k = 1; k <= 5; ++k) records.push_back({60.0f + k, 1.0f * k, 2.5f, -3.0f * k, 0, 0, 100.0f, 0, 1, 0});
    tree.Write("flight.camera", EncodeCamera(records));
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "Data/flight.camera"), 6u * 40u);
    auto path = std::make_unique<CameraPath>();
    LoadCameraPath(*path, "Data\\flight.camera");
    ASSERT_EQ(path->count, 6);
    EXPECT_EQ(path->keys[0].fov, 0.0f);
    EXPECT_EQ(path->keys[3].fov, 63.0f);
    EXPECT_EQ(path->keys[3].eyeZ, -9.0f);
    EXPECT_EQ(path->keys[5].centerZ, 100.0f);
    EXPECT_EQ(path->keys[5].upY, 1.0f);
}

// A picture with detail in every channel, and its alpha.
Canvas TestCanvas(int size, uint32_t seed)
{
    Canvas canvas(size, size);
    ShadeCanvas(canvas, [seed](float u, float v, float* p) {
        p[0] = u;
        p[1] = v;
        p[2] = static_cast<float>(seed % 5) / 4;
        p[3] = u > 0.5f ? 1.0f : 0.0f;
    });
    return canvas;
}

std::vector<uint8_t> Texels(GLuint id, GLenum format)
{
    glBindTexture(GL_TEXTURE_2D, id);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * (format == GL_RGBA ? 4 : 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Largest channel difference between a texture and a picture (colour, and alpha when asked).
int WorstDifference(GLuint id, const Canvas& canvas, bool alpha)
{
    const std::vector<uint8_t> texels = Texels(id, alpha ? GL_RGBA : GL_RGB);
    const RgbImage rgb = ToRgb(canvas);
    const GreyImage grey = AlphaToGrey(canvas);
    const size_t pixels = rgb.pixels.size() / 3;
    if (texels.size() != pixels * (alpha ? 4 : 3)) return 999;
    int worst = 0;
    for (size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(texels[i * (alpha ? 4 : 3) + c] - rgb.pixels[i * 3 + c]));
        if (alpha) worst = std::max(worst, std::abs(texels[i * 4 + 3] - grey.pixels[i]));
    }
    return worst;
}

GLint Filter(GLuint id, GLenum which)
{
    glBindTexture(GL_TEXTURE_2D, id);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
}

TEST_F(WrittenFiles, TextureListOfEveryImageFormatLoads)
{
    const Canvas a = TestCanvas(64, 1), b = TestCanvas(64, 2), c = TestCanvas(32, 3), d = TestCanvas(64, 4);
    // Plain JPEG found through the default file name, with a plain alpha map.
    tree.Write("plain.jpg", EncodeJpeg(ToRgb(a), 95));
    tree.Write("plain_alpha.jpg", EncodeGreyJpeg(AlphaToGrey(a), 95));
    // Only the packed file exists; the list names the plain one. Packed alpha map.
    tree.Write("pics/packed.jpg.packed", EncodeLzhufPacked(EncodeJpeg(ToRgb(b), 95)));
    tree.Write("pics/packed_alpha.jpg.packed", EncodeLzhufPacked(EncodeGreyJpeg(AlphaToGrey(b), 95)));
    // BMPs are exact.
    tree.Write("pics/deep.bmp", EncodeBmp32(ToRgb(c)));
    tree.Write("pics/shallow.bmp", EncodeBmp24(ToRgb(c)));
    // The cached BMP is preferred to the plain JPEG it shadows, which shows another picture.
    tree.Write("pics/cached.jpg", EncodeJpeg(ToRgb(a), 95));
    tree.Write("pics/cached.jpg.cashed.bmp", EncodeBmp32(ToRgb(d)));

    // Sections 0 to 3 and, after a gap, 7.
    std::vector<TextureListEntry> entries(5);
    entries[0] = {0, "plain", "", "plain_alpha.jpg", ""};
    entries[1] = {1, "packed", "pics\\packed.jpg", "pics\\packed_alpha.jpg", "0x1"};
    entries[2] = {2, "deep", "pics\\deep.bmp", "", "$2"};
    entries[3] = {3, "shallow", "pics\\shallow.bmp", "", "2"};
    entries[4] = {7, "cached", "pics\\cached.jpg", "", "0"};
    tree.Write("list.ini", EncodeTextureList(entries));

    auto library = std::make_unique<TextureLibrary>();
    LoadTextureList(*library, "t.", "Data\\list.ini", "Data\\");
    ASSERT_EQ(library->count, 5);
    const GLuint plain = FindTexture(*library, "t.plain"), packed = FindTexture(*library, "t.packed");
    const GLuint deep = FindTexture(*library, "t.deep"), shallow = FindTexture(*library, "t.shallow");
    const GLuint cached = FindTexture(*library, "t.cached");
    EXPECT_LE(WorstDifference(plain, a, true), 12);
    EXPECT_LE(WorstDifference(packed, b, true), 12);
    EXPECT_EQ(WorstDifference(deep, c, false), 0);
    EXPECT_EQ(WorstDifference(shallow, c, false), 0);
    EXPECT_EQ(WorstDifference(cached, d, false), 0);

    EXPECT_EQ(Filter(plain, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(Filter(packed, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(Filter(packed, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(Filter(deep, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Filter(shallow, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Filter(cached, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
}

TEST(Writers, RejectBrokenInput)
{
    MeshData mesh = SampleMesh();
    mesh.triangles.push_back({0, 1, 4});
    EXPECT_THROW(EncodeGeox(mesh), FatalError);
    EXPECT_THROW(EncodeTextGeox(mesh), FatalError);
    RgbImage image{4, 4, std::vector<uint8_t>(47)};
    EXPECT_THROW(EncodeJpeg(image), FatalError);
    EXPECT_THROW(EncodeBmp32(image), FatalError);
    TempDir dir;
    const std::string blocked = dir.Write("file", std::string("x"));
    const DataTree tree(blocked);
    EXPECT_THROW(tree.Write("below/a.bin", std::string("y")), FatalError);
}

} // namespace
