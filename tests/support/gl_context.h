// Test fixtures shared by every test program: the off-screen GL context (made once per
// program, the same 640x480 frame the piece draws into), temporary folders, and capture
// of message boxes.
#pragma once

#include "base/gl.h"
#include "base/message_box.h"
#include "base/warning.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Makes the headless window, context and off-screen frame the first time it is called.
void EnsureGlContext();

// A test that needs GL: the context is current before every test.
class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGlContext(); }
};

// A new texture holding width x height RGBA bytes, filtered by `filter` both ways, left bound.
GLuint UploadRgbaTexture(int width, int height, const std::vector<uint8_t>& rgba, GLenum filter);

// While it lives, every level of a texture's mipmap holds its RGBA bytes as `change` leaves
// them (given each level's width, height and bytes); the original levels come back when it
// ends. The texture stays bound.
class ChangedTexture {
public:
    using Change = std::function<void(int width, int height, std::vector<uint8_t>& rgba)>;
    ChangedTexture(GLuint texture, const Change& change);
    ~ChangedTexture();
    ChangedTexture(const ChangedTexture&) = delete;
    ChangedTexture& operator=(const ChangedTexture&) = delete;

private:
    GLuint m_texture;
    std::vector<std::vector<uint8_t>> m_levels;
};

// The RGB bytes of a rectangle of the current frame, rows bottom-up as GL gives them.
std::vector<uint8_t> ReadFrameRgb(int x = 0, int y = 0, int width = 640, int height = 480);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    // Writes a file below the folder (making its folders) and returns its full path.
    std::string Write(const std::string& relative, const std::string& bytes) const;
    std::string Write(const std::string& relative, const std::vector<uint8_t>& bytes) const;

private:
    std::filesystem::path m_path;
};

// While it lives, a folder that takes no new files: its write bits are off and, since root
// writes anyway, this process acts as the unprivileged user 65534 (its effective id only). Both
// are undone when it ends.
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::filesystem::path folder);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    std::filesystem::path m_folder;
    std::filesystem::perms m_permissions;
    bool m_wasRoot;
};

// Records every message box shown while it lives and answers questions with `answer`.
class CapturedBoxes {
public:
    explicit CapturedBoxes(BoxAnswer answer = BoxAnswer::Ok);
    ~CapturedBoxes();
    struct Box {
        std::string text;
        std::string caption;
        BoxButtons buttons;
        BoxIcon icon;
    };
    std::vector<Box> boxes;

private:
    MessageBoxHandler m_previous;
};

// Records every warning given while it lives (none reaches stderr).
class CapturedWarnings {
public:
    CapturedWarnings();
    ~CapturedWarnings();
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;
    struct Warning {
        std::string file;
        std::string fault;
    };
    std::vector<Warning> warnings;
    // The warnings about this file, "file: fault" each, joined by newlines ("" when none).
    std::string About(const std::string& file) const;

private:
    WarningHandler m_previous;
};
