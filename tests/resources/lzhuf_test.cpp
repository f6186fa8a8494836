// The LZHUF decoder and packed files: streams from an independent encoder decode to
// exactly their bytes; damaged streams end in errors that name the file.
#include "lzhuf_encoder.h"
#include "support/fatal_message.h"
#include "support/gl_context.h"

#include "base/error.h"
#include "resources/lzhpacker.h"
#include "resources/norvikpack.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace {

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed, int alphabet = 256)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random() % static_cast<uint32_t>(alphabet));
    return bytes;
}

// Text-like data: words from a small vocabulary, so matches of every length and distance occur.
std::vector<uint8_t> WordySample(size_t count, uint32_t seed)
{
    static const char* kWords[] = {"leaf ", "rust ", "lantern ", "hollow ", "of ", "the ", "autumn\r\n",
                                   "grass ", "a ", "wall ", "grey ", "sky ", "falling "};
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        const char* word = kWords[random() % (sizeof kWords / sizeof kWords[0])];
        bytes.insert(bytes.end(), word, word + std::strlen(word));
        if (random() % 7 == 0) bytes.push_back(static_cast<uint8_t>(random()));
    }
    bytes.resize(count);
    return bytes;
}

std::vector<uint8_t> Unpacked(const std::vector<uint8_t>& packed, const char* name = "test.packed")
{
    const int32_t size = UnpackMemory(packed.data(), packed.size(), name);
    return std::vector<uint8_t>(UnpackBuffer, UnpackBuffer + size);
}

TEST(Lzhuf, RoundTripsTextRandomAndRepetitiveData)
{
    const std::vector<std::vector<uint8_t>> samples = {
        {'x'},
        WordySample(5000, 1),
        RandomBytes(3000, 2),
        RandomBytes(20000, 3, 4),
        std::vector<uint8_t>(10000, 'a'),
    };
    for (const auto& sample : samples) {
        const LzhufEncoded packed = EncodeLzhufForTest(sample);
        EXPECT_EQ(Unpacked(packed.bytes), sample) << sample.size() << " bytes";
    }
}

TEST(Lzhuf, AStreamWorkedOutByHandDecodes)
{
    // "ABABAB": two literals and a match, coded by hand from the tree's definition.
    // The starting tree pairs nodes 2m and 2m + 1 under node 314 + m, so leaf 65 ('A') hangs
    // under 346, 487, 557, 592, 610, 619, 623, 625 and the root 626; reading each node's side
    // from the root down (1 for the second child) gives 111001101. Its update moves 'A' to
    // node 313 (the last node of count 1) and leaves 'B' (66, under 347, 487 ...) where it was:
    // 111001110. The match of 4 is symbol 253 + 4 = 257, under 442, 535, 581, 604, 616, 622,
    // 625 and the root, untouched by the two updates: 10001101. Its position 1 (copy from one
    // byte before the last written, ring byte 4036 = 'A') has upper bits 0: the first 8 bits
    // 00000000 (0 to 31: code length 3) and one more bit 1, the low bit.
    //   111001101 111001110 10001101 00000000 1, padded with zeros: E6 F3 A3 40 20.
    std::vector<uint8_t> packed(13, 0x3C);
    for (const uint8_t byte : {0x06, 0x00, 0x00, 0x00, 0xE6, 0xF3, 0xA3, 0x40, 0x20}) packed.push_back(byte);
    EXPECT_EQ(Unpacked(packed), (std::vector<uint8_t>{'A', 'B', 'A', 'B', 'A', 'B'}));
    // The same stream announcing five bytes: the whole match is still copied.
    packed[13] = 0x05;
    std::memset(UnpackBuffer, 0, 8);
    EXPECT_EQ(UnpackMemory(packed.data(), packed.size(), "hand.packed"), 5);
    EXPECT_EQ(std::vector<uint8_t>(UnpackBuffer, UnpackBuffer + 7), (std::vector<uint8_t>{'A', 'B', 'A', 'B', 'A', 'B', 0}));
}

TEST(Lzhuf, HeaderBytesDoNotMatter)
{
    const std::vector<uint8_t> sample = WordySample(2000, 4);
    std::array<uint8_t, 13> header{};
    for (uint8_t fill : {0x00, 0xFF, 0x5A}) {
        header.fill(fill);
        EXPECT_EQ(Unpacked(EncodeLzhufForTest(sample, header).bytes), sample);
    }
}

// Bytes with very unequal frequencies, so the shape of the tree depends on exactly when
// it was rebuilt.
std::vector<uint8_t> SkewedBytes(size_t count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::geometric_distribution<int> rank(0.08);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(std::min(rank(random), 255) * 37 % 256);
    return bytes;
}

TEST(Lzhuf, TreeIsRebuiltExactlyWhenTheRootReaches32768)
{
    // The root counts 314 at the start and one more per symbol, so the update of symbol
    // 32455 is the first to rebuild; a rebuild one symbol early or late changes the codes.
    const std::vector<uint8_t> sample = SkewedBytes(60000, 5);
    const LzhufEncoded packed = EncodeLzhufForTest(sample);
    ASSERT_GT(packed.symbols, 32768 - 314 + 2000);
    ASSERT_LT(packed.symbols, 2 * 32768 - 1000);
    EXPECT_EQ(Unpacked(packed.bytes), sample);
}

TEST(Lzhuf, LongStreamsRebuildTheTreeManyTimes)
{
    const std::vector<uint8_t> sample = RandomBytes(400000, 6, 24);
    const LzhufEncoded packed = EncodeLzhufForTest(sample);
    EXPECT_GT(packed.symbols, 5 * 32768);
    EXPECT_EQ(Unpacked(packed.bytes), sample);
}

TEST(Lzhuf, SizeZeroProducesNothingAndReadsNoBit)
{
    // 17 bytes: header and size only; any bit read would be past the end.
    std::vector<uint8_t> packed(17, 0xAB);
    std::memset(packed.data() + 13, 0, 4);
    EXPECT_EQ(UnpackMemory(packed.data(), packed.size(), "empty.packed"), 0);
}

TEST(Lzhuf, FirstMatchCopiesThePresetSpaces)
{
    const std::vector<uint8_t> sample = {' ', ' ', ' ', ' ', ' ', 'x'};
    const LzhufEncoded packed = EncodeLzhufForTest(sample);
    EXPECT_EQ(packed.matches, 1);
    EXPECT_EQ(Unpacked(packed.bytes), sample);
}

TEST(Lzhuf, LastMatchMayRunPastTheSizeButNotPastItsLength)
{
    // Sixty spaces are one match of length 60; the header announces only one byte.
    const LzhufEncoded packed = EncodeLzhufForTest(std::vector<uint8_t>(60, ' '), {}, 1);
    ASSERT_EQ(packed.symbols, 1);
    ASSERT_EQ(packed.tailMatchLength, 60);
    std::memset(UnpackBuffer, 0x77, 100);
    EXPECT_EQ(UnpackMemory(packed.bytes.data(), packed.bytes.size(), "tail.packed"), 1);
    EXPECT_EQ(std::vector<uint8_t>(UnpackBuffer, UnpackBuffer + 60), std::vector<uint8_t>(60, ' '));
    EXPECT_EQ(UnpackBuffer[60], 0x77);
}

TEST(Lzhuf, OverrunAtTheEndOfTheBufferDoesNotWrapOntoItsStart)
{
    // The last match crosses byte 8,000,000 by 40 bytes; they must not land on the start.
    std::vector<uint8_t> sample(8000040, ' ');
    for (size_t i = 0; i < 60; ++i) sample[i] = static_cast<uint8_t>('A' + i % 26);
    const LzhufEncoded packed = EncodeLzhufForTest(sample, {}, kUnpackBufferSize);
    ASSERT_EQ(packed.tailMatchLength, 60);
    EXPECT_EQ(UnpackMemory(packed.bytes.data(), packed.bytes.size(), "full.packed"), kUnpackBufferSize);
    EXPECT_TRUE(std::equal(UnpackBuffer, UnpackBuffer + kUnpackBufferSize, sample.begin()));
}

TEST(Lzhuf, EveryTruncationIsAnErrorNamingTheFile)
{
    const std::vector<uint8_t> sample = WordySample(3000, 7);
    const std::vector<uint8_t> packed = EncodeLzhufForTest(sample).bytes;
    for (size_t length = 0; length < packed.size(); ++length) {
        const std::string message =
            FatalMessage([&] { UnpackMemory(packed.data(), length, "data\\cut.jpg.packed"); });
        ASSERT_EQ(message.rfind("data\\cut.jpg.packed: ", 0), 0u) << length << " bytes: \"" << message << "\"";
    }
    EXPECT_EQ(Unpacked(packed), sample);
}

TEST(Lzhuf, SizesOutsideTheBufferAreErrors)
{
    const std::vector<uint8_t> sample = WordySample(100, 8);
    for (const uint32_t size : {0xFFFFFFFFu, 0x80000000u, uint32_t{kUnpackBufferSize} + 1, 0x7FFFFFFFu}) {
        const LzhufEncoded packed = EncodeLzhufForTest(sample, {}, size);
        const std::string message = FatalMessage([&] { Unpacked(packed.bytes, "big.packed"); });
        EXPECT_NE(message.find("big.packed: unpacked size"), std::string::npos) << size << ": " << message;
    }
}

TEST(Lzhuf, MatchFromBeforeTheDataIsAnError)
{
    // After one literal the write position is 4037. Position 4095 starts the copy 4096
    // bytes back, at ring byte 4037, which this stream has not written yet; so does every
    // position from 4037 up. Position 4036 starts at ring byte 0, a preset space.
    for (const int position : {4037, 4095}) {
        const std::vector<uint8_t> far = CodeLzhufTokensForTest({{'a', 0, 0}, {-1, 3, position}}, 4);
        const std::string message = FatalMessage([&] { Unpacked(far, "far.packed"); });
        EXPECT_NE(message.find("far.packed: packed stream copies from before"), std::string::npos)
            << position << ": " << message;
    }
    const std::vector<uint8_t> near = CodeLzhufTokensForTest({{'a', 0, 0}, {-1, 3, 4036}}, 4);
    EXPECT_EQ(Unpacked(near), (std::vector<uint8_t>{'a', ' ', ' ', ' '}));
}

TEST(Lzhuf, PackedFilesAreReadFromDiskInBlocks)
{
    TempDir folder;
    const std::vector<uint8_t> sample = RandomBytes(70000, 9, 16); // packs to more than 16384 bytes
    const LzhufEncoded packed = EncodeLzhufForTest(sample);
    ASSERT_GT(packed.bytes.size(), 2u * 16384);
    const std::string path = folder.Write("big.jpg.packed", packed.bytes);
    const int32_t size = UnpackFile(path);
    EXPECT_EQ(std::vector<uint8_t>(UnpackBuffer, UnpackBuffer + size), sample);

    const std::string missing = FatalMessage([&] { UnpackFile(folder.Path().string() + "/none.packed"); });
    EXPECT_NE(missing.find("none.packed: cannot open"), std::string::npos) << missing;
}

} // namespace
