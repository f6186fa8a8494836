// SHA-256 against the published test vectors, fed whole and in uneven pieces.
#include "base/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string DigestInPieces(const std::string& text, size_t piece)
{
    Sha256 digest;
    for (size_t at = 0; at < text.size(); at += piece) digest.Add(text.data() + at, std::min(piece, text.size() - at));
    return digest.HexDigest();
}

TEST(Sha256Test, MatchesThePublishedVectorsHoweverTheBytesArrive)
{
    EXPECT_EQ(DigestInPieces("", 1), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(DigestInPieces("abc", 1), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (size_t piece : {1u, 7u, 64u, 1000u})
        EXPECT_EQ(DigestInPieces(twoBlocks, piece), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(DigestInPieces(std::string(1000000, 'a'), 4096),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

} // namespace
