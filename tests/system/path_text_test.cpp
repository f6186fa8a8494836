// Paths as text by the rules of both systems, checked wherever the tests run: the Windows
// rules are the ones the Windows build resolves data and output paths with.
#include "system/path_text.h"

#include <gtest/gtest.h>

namespace {

constexpr PathStyle kPosix = PathStyle::Posix;
constexpr PathStyle kWindows = PathStyle::Windows;

TEST(PathText, AbsolutePathsStartAtARootOfTheirSystem)
{
    for (const char* path : {"/x", "/"}) {
        EXPECT_TRUE(IsAbsolutePath(path, kPosix)) << path;
        EXPECT_TRUE(IsAbsolutePath(path, kWindows)) << path;
    }
    for (const char* path : {"\\x", "C:\\x", "C:/x", "\\\\server\\share\\x"}) {
        EXPECT_FALSE(IsAbsolutePath(path, kPosix)) << path;
        EXPECT_TRUE(IsAbsolutePath(path, kWindows)) << path;
    }
    // "C:x" is relative to drive C's working folder.
    for (const char* path : {"", "x", "x/y", "C:", "C:x", "Data\\x"}) {
        EXPECT_FALSE(IsAbsolutePath(path, kPosix)) << path;
        EXPECT_FALSE(IsAbsolutePath(path, kWindows)) << path;
    }
}

TEST(PathText, TheFolderOfAPathEndsAtItsLastSeparatorAndKeepsARoot)
{
    EXPECT_EQ(LastPathSeparator("a\\b/c", kWindows), 3u);
    EXPECT_EQ(LastPathSeparator("a/b\\c", kWindows), 3u);
    EXPECT_EQ(LastPathSeparator("a\\b", kPosix), std::string::npos);
    EXPECT_EQ(LastPathSeparator("C:name", kWindows), 1u);

    const std::pair<const char*, const char*> posix[] = {
        {"a/b/c", "a/b"}, {"/b", "/"}, {"b", "."}, {"a\\b", "."}, {"a:/b", "a:"}, {"C:\\x", "."}};
    for (const auto& [path, folder] : posix) EXPECT_EQ(FolderOfPath(path, kPosix), folder) << path;
    const std::pair<const char*, const char*> windows[] = {
        {"a\\b\\c", "a\\b"}, {"a/b\\c", "a/b"}, {"C:\\x", "C:\\"}, {"C:/x/y", "C:/x"}, {"C:x", "C:"},
        {"\\x", "\\"},       {"/x", "/"},       {"x", "."},        {"\\\\server\\share\\x", "\\\\server\\share"}};
    for (const auto& [path, folder] : windows) EXPECT_EQ(FolderOfPath(path, kWindows), folder) << path;
}

TEST(PathText, NamesMatchWithoutRegardToAsciiCaseOnly)
{
    EXPECT_TRUE(EqualIgnoringAsciiCase("Geox.LIST", "geox.list"));
    EXPECT_TRUE(EqualIgnoringAsciiCase("", ""));
    EXPECT_FALSE(EqualIgnoringAsciiCase("geox.list", "geox.lis"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("a[", "A{")); // '[' and '{' lie 32 apart, but are no letters
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xC3\x84", "\xC3\xA4")); // "Ä" and "ä": bytes beyond ASCII compare exactly
}

} // namespace
