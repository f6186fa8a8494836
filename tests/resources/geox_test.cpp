// Geox meshes: the binary and text readers with every malformed-input rule, "geox.list"
// folders, normals, and what the draw calls send to GL.
#include "support/driver_gl.h"
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "gl/gl.h"
#include "resources/lum_geox.h"
#include "resources/lum_log.h"

#include <cstring>
#include <string>

namespace {

struct FileVertex {
    float x, y, z, u, v;
};

std::vector<uint8_t> GeoxBytes(int32_t vertexCount, int32_t triangleCount, const std::vector<FileVertex>& vertices,
                               const std::vector<int32_t>& indices)
{
    std::vector<uint8_t> bytes;
    auto put = [&](const void* data, size_t size) {
        const auto* raw = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), raw, raw + size);
    };
    put(&vertexCount, 4);
    put(&triangleCount, 4);
    for (const FileVertex& vertex : vertices) put(&vertex, sizeof vertex);
    for (const int32_t index : indices) put(&index, 4);
    return bytes;
}

const std::vector<FileVertex> kCorner = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}};

void Parse(GeoxMesh& mesh, const std::vector<uint8_t>& bytes, const char* name = "mesh.geox")
{
    ParseGeox(mesh, bytes.data(), bytes.size(), name);
}

class GeoxTest : public GlTest {
protected:
    void SetUp() override { LogEnabled = false; }
    TempDir m_folder;
};

TEST_F(GeoxTest, BinaryFilesOfEightAndEightyBytes)
{
    GeoxMesh mesh;
    mesh.displayList = 42;
    Parse(mesh, GeoxBytes(0, 0, {}, {}));
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.triangleCount, 0);

    const std::vector<uint8_t> bytes = GeoxBytes(3, 1, kCorner, {0, 1, 2});
    ASSERT_EQ(bytes.size(), 80u);
    std::vector<uint8_t> withTail = bytes; // anything after the triangles is ignored
    withTail.push_back(0xAA);
    Parse(mesh, withTail);
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.triangleCount, 1);
    EXPECT_EQ(mesh.displayList, 42u);
    EXPECT_EQ(mesh.vertices[2].y, 1.0f);
    EXPECT_EQ(mesh.vertices[1].u, 1.0f);
    EXPECT_EQ(mesh.triangles[0].i2, 2);
    EXPECT_EQ(mesh.vertices[0].nx, 0.0f);
}

TEST_F(GeoxTest, MalformedBinaryFilesAreErrorsNamingTheFileAndLeaveTheMesh)
{
    const struct {
        std::vector<uint8_t> bytes;
        const char* fault;
    } cases[] = {
        {{1, 0, 0}, "truncated"},
        {GeoxBytes(-1, 0, {}, {}), "negative"},
        {GeoxBytes(0, -5, {}, {}), "negative"},
        {GeoxBytes(0x7FFFFFFF, 0x7FFFFFFF, {}, {}), "truncated"},
        {GeoxBytes(3, 1, kCorner, {0, 1}), "truncated"},
        {GeoxBytes(3, 1, {kCorner[0], kCorner[1]}, {}), "truncated"},
        {GeoxBytes(3, 1, kCorner, {0, 1, 3}), "vertex indices 0 1 3"},
        {GeoxBytes(3, 1, kCorner, {-1, 1, 2}), "vertex indices -1 1 2"},
    };
    for (const auto& test : cases) {
        GeoxMesh mesh;
        Parse(mesh, GeoxBytes(3, 1, kCorner, {0, 1, 2}));
        const std::string message = FatalMessage([&] { Parse(mesh, test.bytes, "Data\\bad.geox"); });
        EXPECT_EQ(message.rfind("Data\\bad.geox: ", 0), 0u) << message;
        EXPECT_NE(message.find(test.fault), std::string::npos) << test.fault << ": " << message;
        EXPECT_EQ(mesh.vertexCount, 3);
        EXPECT_EQ(mesh.vertices.size(), 3u);
    }
}

TEST_F(GeoxTest, MissingFileShowsTheBoxThenFails)
{
    CapturedBoxes boxes;
    GeoxMesh mesh;
    const std::string path = m_folder.Path().string() + "/none.geox";
    const std::string message = FatalMessage([&] { LoadGeox(mesh, path); });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "ERROR! " + path + " is not valid");
    EXPECT_EQ(message.rfind(path + ": cannot open", 0), 0u) << message;
}

TEST_F(GeoxTest, TextFilesReadNumbersAndIgnoreTheRestOfTheirLines)
{
    GeoxMesh mesh;
    ParseTextGeox(mesh,
                  "3 vertices\r\n2 triangles\r\n"
                  "0 0 0 0 0 first\r\n"
                  "1.5 -2 +3e1 0.25 1E-1\r\n"
                  "-.5 0 0 1 1\r\n"
                  "0 1\n2   2 1\n0\n",
                  "a.textgeox");
    ASSERT_EQ(mesh.vertexCount, 3);
    ASSERT_EQ(mesh.triangleCount, 2);
    EXPECT_EQ(mesh.vertices[1].x, 1.5f);
    EXPECT_EQ(mesh.vertices[1].y, -2.0f);
    EXPECT_EQ(mesh.vertices[1].z, 30.0f);
    EXPECT_EQ(mesh.vertices[1].v, 0.1f);
    EXPECT_EQ(mesh.vertices[2].x, -0.5f);
    EXPECT_EQ(mesh.triangles[1].i0, 2);
    EXPECT_EQ(mesh.triangles[1].i2, 0);
}

TEST_F(GeoxTest, MalformedTextFilesAreErrorsNamingTheFile)
{
    const struct {
        const char* text;
        const char* fault;
    } cases[] = {
        {"", "ends before the vertex count"},
        {"1\n", "ends before the triangle count"},
        {"x\n0\n", "invalid integer \"x\""},
        {"1\n0\n1 2 three 4 5\n", "line 3: invalid number \"three\""},
        {"1\n0\n1 2 inf 4 5\n", "invalid number \"inf\""},
        {"1\n0\n1 2 +-3 4 5\n", "invalid number \"+-3\""},
        {"+-1\n0\n", "invalid integer \"+-1\""},
        {"1\n0\n1 2 3 4\n", "cannot fit"},
        {"1\n1\n1 2 3 4 5\n0 0\n", "cannot fit"},
        {"1\n1\n1 2 3 4 5\n0 0 x\n", "invalid integer"},
        {"-1\n0\n", "negative"},
        {"2000000000\n2000000000\n0 0 0 0 0\n", "cannot fit"},
        {"99999999999\n0\n", "invalid integer"},
    };
    for (const auto& test : cases) {
        GeoxMesh mesh;
        const std::string message = FatalMessage([&] { ParseTextGeox(mesh, test.text, "bad.textgeox"); });
        EXPECT_EQ(message.rfind("bad.textgeox: ", 0), 0u) << message;
        EXPECT_NE(message.find(test.fault), std::string::npos) << test.fault << ": " << message;
    }
}

TEST_F(GeoxTest, TextIndexOutsideTheVerticesShowsTheCorruptBoxOnce)
{
    for (const char* indices : {"0 1 3", "0 -1 2"}) {
        CapturedBoxes boxes;
        GeoxMesh mesh;
        const std::string text = std::string("3\n1\n0 0 0 0 0\n1 0 0 0 0\n0 1 0 0 0\n") + indices + "\n";
        bool alreadyShown = false;
        std::string message;
        try {
            ParseTextGeox(mesh, text, "leaf.textgeox");
        } catch (const FatalError& error) {
            message = error.what();
            alreadyShown = error.AlreadyShown();
        }
        ASSERT_EQ(boxes.boxes.size(), 1u) << indices;
        EXPECT_EQ(boxes.boxes[0].text, "CORRUPTED GEOX FILE!!!");
        EXPECT_TRUE(alreadyShown);
        EXPECT_EQ(message.rfind("leaf.textgeox: triangle 0", 0), 0u) << message;
        EXPECT_EQ(mesh.vertexCount, 0);
    }
}

TEST_F(GeoxTest, FilteredNamesKeepLowerCaseLettersBeforeTheFirstDot)
{
    EXPECT_EQ(FilterGeoxName("tree.bark.geox"), "tree");
    EXPECT_EQ(FilterGeoxName("01.geox"), "");
    EXPECT_EQ(FilterGeoxName("leaf_01.geox"), "leaf");
    EXPECT_EQ(FilterGeoxName("leaf2.geox"), "leaf");
    EXPECT_EQ(FilterGeoxName("Big-Stone x.geox"), "igtonex");
    EXPECT_EQ(FilterGeoxName("noextension"), "noextension");
}

TEST_F(GeoxTest, ListsLoadUpperCaseEntriesAndStopBeforeTrailingEmptyLines)
{
    const std::vector<uint8_t> triangle = GeoxBytes(3, 1, kCorner, {0, 1, 2});
    m_folder.Write("season/Leaf_01.geox", triangle);
    m_folder.Write("season/stone.TEXTGEOX", std::string("3\n0\n0 0 0 0 0\n1 0 0 0 0\n0 1 0 0 0\n"));
    m_folder.Write("season/geox.list", std::string("LEAF_01.GEOX\r\nStone.TextGeox\r\n\r\n\r\n"));
    const std::string folder = m_folder.Path().string() + "/season/";
    GeoxList list;
    LoadGeoxList(list, folder, "geox.list");
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.names[0], "leaf_01.geox");
    EXPECT_EQ(list.filteredNames[0], "leaf");
    EXPECT_EQ(list.meshes[0].triangleCount, 1);
    EXPECT_EQ(list.names[1], "stone.textgeox");
    EXPECT_EQ(list.meshes[1].vertexCount, 3);

    const std::string longName(40, 'w');
    m_folder.Write("long/" + longName + ".geox", triangle);
    m_folder.Write("long/geox.list", longName + ".geox\n");
    LoadGeoxList(list, m_folder.Path().string() + "/long/", "geox.list");
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.names[0], longName.substr(0, 32));
    EXPECT_EQ(list.filteredNames[0], longName.substr(0, 32));
}

TEST_F(GeoxTest, AnEmptyLineBeforeTheLastEntryIsAnErrorNamingTheListAndTheLine)
{
    m_folder.Write("yard/a.geox", GeoxBytes(0, 0, {}, {}));
    m_folder.Write("yard/geox.list", std::string("a.geox\r\n\r\na.geox\r\n"));
    const std::string folder = m_folder.Path().string() + "/yard/";
    CapturedBoxes boxes;
    GeoxList list;
    const std::string message = FatalMessage([&] { LoadGeoxList(list, folder, "geox.list"); });
    EXPECT_TRUE(boxes.boxes.empty()) << "the folder is never opened as a mesh";
    EXPECT_EQ(message.rfind(folder + "geox.list: line 2 is empty", 0), 0u) << message;

    const std::string missing = FatalMessage([&] { LoadGeoxList(list, folder, "none.list"); });
    EXPECT_NE(missing.find("none.list: cannot open"), std::string::npos) << missing;
}

TEST_F(GeoxTest, FaceAndVertexNormalsInDrawnOrder)
{
    GeoxMesh mesh;
    Parse(mesh, GeoxBytes(3, 1, kCorner, {0, 1, 2}));
    ComputeFaceNormals(mesh);
    EXPECT_EQ(mesh.triangles[0].nx, 0.0f);
    EXPECT_EQ(mesh.triangles[0].ny, -1.0f);
    EXPECT_EQ(mesh.triangles[0].nz, 0.0f);

    Parse(mesh, GeoxBytes(3, 1, {{2, 3, 4, 0, 0}, {2, 3, 4, 0, 0}, {2, 3, 4, 0, 0}}, {0, 1, 2}));
    ComputeFaceNormals(mesh);
    EXPECT_EQ(mesh.triangles[0].nx, 0.0f);
    EXPECT_EQ(mesh.triangles[0].ny, 0.0f);
    EXPECT_EQ(mesh.triangles[0].nz, 0.0f);

    // Vertex 0 is shared by a triangle with face normal (0, 1, 0) and one with (1, 0, 0);
    // vertex 3 is used by no triangle; vertex 1 is named twice by the first triangle.
    Parse(mesh, GeoxBytes(4, 2, {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {5, 5, 5, 0, 0}}, {0, 1, 1, 0, 2, 2}));
    mesh.triangles[0].nx = 0;
    mesh.triangles[0].ny = 1;
    mesh.triangles[0].nz = 0;
    mesh.triangles[1].nx = 1;
    mesh.triangles[1].ny = 0;
    mesh.triangles[1].nz = 0;
    mesh.vertices[3].nx = 9;
    ComputeVertexNormals(mesh);
    EXPECT_EQ(mesh.vertices[0].nx, 0.5f);
    EXPECT_EQ(mesh.vertices[0].ny, 0.5f);
    EXPECT_EQ(mesh.vertices[0].nz, 0.0f);
    EXPECT_EQ(mesh.vertices[1].ny, 1.0f);
    EXPECT_EQ(mesh.vertices[3].nx, 0.0f);

    // Counted once, the uses renew the same normals (the water surface, every frame).
    const std::vector<int32_t> uses = CountVertexUses(mesh);
    EXPECT_EQ(uses, (std::vector<int32_t>{2, 2, 2, 0}));
    const std::vector<GeoxVertex> plain = mesh.vertices;
    for (GeoxVertex& vertex : mesh.vertices) vertex.nx = vertex.ny = vertex.nz = 7;
    ComputeVertexNormals(mesh, uses);
    for (size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(mesh.vertices[i].nx, plain[i].nx) << i;
        EXPECT_EQ(mesh.vertices[i].ny, plain[i].ny) << i;
        EXPECT_EQ(mesh.vertices[i].nz, plain[i].nz) << i;
    }
}

// The vertices GL receives, through feedback mode: window coordinates and texture
// coordinates, with identity matrices so the window position gives back the vertex.
struct FedVertex {
    float x, y, z, s, t;
};

std::vector<FedVertex> Feedback(void (*draw)(const GeoxMesh&), const GeoxMesh& mesh)
{
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> buffer(4096);
    const GLint used = FeedbackDuring(FeedbackThreeDColorTexture, buffer.data(), static_cast<GLsizei>(buffer.size()),
                                      [&] { draw(mesh); });
    std::vector<FedVertex> vertices;
    for (GLint i = 0; i < used;) {
        EXPECT_EQ(buffer[static_cast<size_t>(i)], static_cast<GLfloat>(FeedbackPolygonToken));
        const int corners = static_cast<int>(buffer[static_cast<size_t>(i) + 1]);
        i += 2;
        for (int c = 0; c < corners; ++c, i += 11) {
            const GLfloat* v = &buffer[static_cast<size_t>(i)];
            vertices.push_back({v[0] / 320 - 1, v[1] / 240 - 1, v[2] * 2 - 1, v[7], v[8]});
        }
    }
    return vertices;
}

TEST_F(GeoxTest, DrawingSendsYAndZExchanged)
{
    GeoxMesh mesh;
    Parse(mesh, GeoxBytes(3, 1, {{0.1f, 0.2f, 0.3f, 0.25f, 0.5f}, {0.5f, -0.4f, 0.6f, 1, 0}, {-0.7f, 0.8f, -0.2f, 0, 1}},
                          {0, 1, 2}));
    const std::vector<FedVertex> fed = Feedback(DrawGeoxTextured, mesh);
    ASSERT_EQ(fed.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const GeoxVertex& sent = mesh.vertices[i];
        EXPECT_NEAR(fed[i].x, sent.x, 1e-4) << i;
        EXPECT_NEAR(fed[i].y, sent.z, 1e-4) << i;
        EXPECT_NEAR(fed[i].z, sent.y, 1e-4) << i;
        EXPECT_NEAR(fed[i].s, sent.u, 1e-6) << i;
        EXPECT_NEAR(fed[i].t, sent.v, 1e-6) << i;
    }

    // A mesh moved between two draws (the water surface) is drawn where it is now.
    mesh.vertices[1].y = -0.25f;
    const std::vector<FedVertex> moved = Feedback(DrawGeoxTextured, mesh);
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_NEAR(moved[1].z, -0.25f, 1e-4);

    // The last corner's texture coordinate stays current, as a glTexCoord per corner leaves
    // it: a later draw that sends none of its own samples there.
    glTexCoord2f(9, 9);
    DrawGeoxTextured(mesh);
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current);
    EXPECT_EQ(current[0], mesh.vertices[2].u);
    EXPECT_EQ(current[1], mesh.vertices[2].v);

    GeoxMesh empty;
    Parse(empty, GeoxBytes(0, 0, {}, {}));
    EXPECT_TRUE(Feedback(DrawGeoxTextured, empty).empty());

    // Lit drawing sets each corner's vertex normal; the last one stays current.
    ComputeFaceNormals(mesh);
    ComputeVertexNormals(mesh);
    DrawGeoxLit(mesh);
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[1], mesh.vertices[2].ny);
    glNormal3f(0, 0, 1);
    DrawGeoxPlain(mesh);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_EQ(normal[2], 1.0f);
    DrawGeox(mesh, false, true, false);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[1], mesh.triangles[0].ny);
}

} // namespace
