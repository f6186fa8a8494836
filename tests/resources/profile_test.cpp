// The private-profile reader: the rules the texture lists depend on.
#include "support/gl_context.h"

#include "base/profile.h"

#include <string>

namespace {

TEST(Profile, SectionsExistOnlyWithAKeyAndMatchWithoutCase)
{
    const PrivateProfile profile = PrivateProfile::Parse(
        "; a comment\r\n"
        "[Texture0]\r\n"
        "Name = Sky \r\n"
        "[texture1]\r\n"
        "[texture2]\r\n"
        "; only a comment\r\n"
        "no equals sign here\r\n"
        "[  texture3  ]\n"
        "filename=\n"
        "[TEXTURE0]\n"
        "name=second\n");
    EXPECT_TRUE(profile.SectionExists("texture0"));
    EXPECT_TRUE(profile.SectionExists("TEXTURE0"));
    EXPECT_FALSE(profile.SectionExists("texture1"));
    EXPECT_FALSE(profile.SectionExists("texture2"));
    EXPECT_TRUE(profile.SectionExists("texture3"));
    EXPECT_FALSE(profile.SectionExists("texture4"));

    EXPECT_EQ(profile.ReadString("texture0", "NAME", "-"), "Sky"); // the first section wins
    EXPECT_EQ(profile.ReadString("texture3", "filename", "default"), "");
    EXPECT_EQ(profile.ReadString("texture3", "name", "default"), "default");
    EXPECT_EQ(profile.ReadString("texture9", "name", "default"), "default");
}

TEST(Profile, FirstKeyWinsAndValuesAreCutTo2047Characters)
{
    const std::string longValue(3000, 'v');
    const PrivateProfile profile =
        PrivateProfile::Parse("[s]\nkey=first\nKEY=second\nlong=" + longValue + "\nbare=  spaced out  \n");
    EXPECT_EQ(profile.ReadString("s", "key", ""), "first");
    EXPECT_EQ(profile.ReadString("s", "long", ""), std::string(2047, 'v'));
    EXPECT_EQ(profile.ReadString("s", "bare", ""), "spaced out");
}

TEST(Profile, AValueInMatchingQuotesLosesThemAndKeepsTheBlanksInside)
{
    const std::string longValue(3000, 'q');
    const PrivateProfile profile = PrivateProfile::Parse("[s]\n"
                                                         "double = \"mug.jpg\"  \n"
                                                         "single='  a b  '\n"
                                                         "nested=\"'x'\"\n"
                                                         "mixed=\"x'\n"
                                                         "reversed='\"x'\"\n"
                                                         "lone=\"\n"
                                                         "empty=''\n"
                                                         "inner=a\"b\"\n"
                                                         "\t;commented=yes\n"
                                                         "filter=\"0x2\"\n"
                                                         "long=\"" +
                                                         longValue + "\"\n");
    EXPECT_EQ(profile.ReadString("s", "double", ""), "mug.jpg");
    EXPECT_EQ(profile.ReadString("s", "single", ""), "  a b  ");
    EXPECT_EQ(profile.ReadString("s", "nested", ""), "'x'"); // only the outer pair
    EXPECT_EQ(profile.ReadString("s", "mixed", ""), "\"x'");
    EXPECT_EQ(profile.ReadString("s", "reversed", ""), "'\"x'\"");
    EXPECT_EQ(profile.ReadString("s", "lone", ""), "\"");
    EXPECT_EQ(profile.ReadString("s", "empty", "-"), "");
    EXPECT_EQ(profile.ReadString("s", "inner", ""), "a\"b\"");
    EXPECT_EQ(profile.ReadString("s", "commented", "-"), "-");
    EXPECT_EQ(profile.ReadInteger("s", "filter", -5), 2);
    EXPECT_EQ(profile.ReadString("s", "long", ""), std::string(2047, 'q')); // cut after the quotes go
}

TEST(Profile, IntegersAreDecimalOrHexWithZeroXOrDollar)
{
    const PrivateProfile profile = PrivateProfile::Parse(
        "[f]\na=7\nb=0x1F\nc=$ff\nd=-12\ne=abc\nf=12abc\ng=0x\nh=99999999999\ni=$FFFFFFFF\nj=\nk=0X10\n");
    EXPECT_EQ(profile.ReadInteger("f", "a", -5), 7);
    EXPECT_EQ(profile.ReadInteger("f", "b", -5), 31);
    EXPECT_EQ(profile.ReadInteger("f", "c", -5), 255);
    EXPECT_EQ(profile.ReadInteger("f", "d", -5), -12);
    EXPECT_EQ(profile.ReadInteger("f", "e", -5), -5);
    EXPECT_EQ(profile.ReadInteger("f", "f", -5), -5);
    EXPECT_EQ(profile.ReadInteger("f", "g", -5), -5);
    EXPECT_EQ(profile.ReadInteger("f", "h", -5), -5);
    EXPECT_EQ(profile.ReadInteger("f", "i", -5), -1);
    EXPECT_EQ(profile.ReadInteger("f", "j", -5), -5);
    EXPECT_EQ(profile.ReadInteger("f", "k", -5), 16);
    EXPECT_EQ(profile.ReadInteger("f", "missing", -5), -5);
}

TEST(Profile, MissingFileReadsAsEmpty)
{
    TempDir folder;
    const PrivateProfile missing = PrivateProfile::Load((folder.Path() / "none.ini").string());
    EXPECT_FALSE(missing.SectionExists("texture0"));
    const std::string path = folder.Write("Textures.INI", std::string("[texture0]\nname=a\n"));
    EXPECT_TRUE(PrivateProfile::Load(path).SectionExists("texture0"));
}

} // namespace
