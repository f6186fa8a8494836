// Shared test fixtures.
#include "support/gl_context.h"

#include "base/files.h"
#include "base/gl.h"
#include "platform/window.h"

#include <atomic>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

void EnsureGlContext()
{
    static bool ready = false;
    if (ready) return;
    ASSERT_TRUE(InitVideo(true)) << "no offscreen video driver";
    ASSERT_TRUE(CreatePlatformWindow("lantern tests", 640, 480, false));
    ASSERT_TRUE(CreateGlContext());
    ASSERT_TRUE(MakeGlContextCurrent());
    ready = true;
}

GLuint UploadRgbaTexture(int width, int height, const std::vector<uint8_t>& rgba, GLenum filter)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filter));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return id;
}

namespace {

// Width and height of a mipmap level of the bound texture; 0 past the last level.
void LevelSize(int level, GLint& width, GLint& height)
{
    width = height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
}

} // namespace

ChangedTexture::ChangedTexture(GLuint texture, const Change& change) : m_texture(texture)
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    GLint width = 0, height = 0;
    for (int level = 0;; ++level) {
        LevelSize(level, width, height);
        if (width == 0) break;
        m_levels.emplace_back(static_cast<size_t>(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, m_levels.back().data());
        std::vector<uint8_t> changed = m_levels.back();
        change(width, height, changed);
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, changed.data());
    }
}

ChangedTexture::~ChangedTexture()
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    GLint width = 0, height = 0;
    for (size_t level = 0; level < m_levels.size(); ++level) {
        LevelSize(static_cast<int>(level), width, height);
        glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                        m_levels[level].data());
    }
}

std::vector<uint8_t> ReadFrameRgb(int x, int y, int width, int height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("lantern-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

UnwritableFolder::UnwritableFolder(std::filesystem::path folder)
    : m_folder(std::move(folder)), m_permissions(std::filesystem::status(m_folder).permissions()),
      m_wasRoot(::geteuid() == 0)
{
    std::filesystem::permissions(m_folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                               std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                               std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    if (m_wasRoot && ::seteuid(65534) != 0) ADD_FAILURE() << "cannot act as an unprivileged user";
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_wasRoot && ::seteuid(0) != 0) std::abort(); // the rest of the run would lack root's rights
    std::filesystem::permissions(m_folder, m_permissions);
}

std::string TempDir::Write(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path path = m_path / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteFileBytes(path.string(), bytes.data(), bytes.size());
    return path.string();
}

std::string TempDir::Write(const std::string& relative, const std::vector<uint8_t>& bytes) const
{
    return Write(relative, std::string(bytes.begin(), bytes.end()));
}

CapturedBoxes::CapturedBoxes(BoxAnswer answer)
{
    m_previous = SetMessageBoxHandler(
        [this, answer](std::string_view text, std::string_view caption, BoxButtons buttons, BoxIcon icon) {
            boxes.push_back({std::string(text), std::string(caption), buttons, icon});
            return buttons == BoxButtons::YesNo ? answer : BoxAnswer::Ok;
        });
}

CapturedBoxes::~CapturedBoxes()
{
    SetMessageBoxHandler(std::move(m_previous));
}

CapturedWarnings::CapturedWarnings()
{
    m_previous = SetWarningHandler([this](std::string_view file, std::string_view fault) {
        warnings.push_back({std::string(file), std::string(fault)});
    });
}

CapturedWarnings::~CapturedWarnings()
{
    SetWarningHandler(std::move(m_previous));
}

std::string CapturedWarnings::About(const std::string& file) const
{
    std::string text;
    for (const Warning& warning : warnings)
        if (warning.file == file) text += (text.empty() ? "" : "\n") + warning.file + ": " + warning.fault;
    return text;
}
