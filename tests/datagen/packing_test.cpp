// The LZHUF encoder against the program's own decoder: every stream must unpack to exactly
// its bytes, whatever the data (random, text-like, images, runs), wherever the matches fall
// in the ring, and however often the adaptive tree is rebuilt.
#include "datagen/image.h"
#include "datagen/textures.h"
#include "datagen/writers.h"

#include "base/error.h"
#include "resources/norvikpack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

std::vector<uint8_t> Unpack(const std::vector<uint8_t>& packed)
{
    const int32_t size = UnpackMemory(packed.data(), packed.size(), "test.packed");
    return std::vector<uint8_t>(UnpackBuffer, UnpackBuffer + size);
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed, uint32_t alphabet = 256)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random() % alphabet);
    return bytes;
}

// Mostly copies of earlier bytes at random distances up to the whole window, so matches
// of every length and position occur, some reaching back across the ring's wrap.
std::vector<uint8_t> EchoBytes(size_t count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        if (bytes.size() < 64 || random() % 5 == 0) {
            bytes.push_back(static_cast<uint8_t>(random()));
            continue;
        }
        const size_t distance = 1 + random() % std::min<size_t>(bytes.size(), 4095);
        const size_t length = 1 + random() % 70;
        for (size_t i = 0; i < length; ++i) bytes.push_back(bytes[bytes.size() - distance]);
    }
    bytes.resize(count);
    return bytes;
}

TEST(LzhufEncoder, WritesTheHeaderAndTheSize)
{
    std::array<uint8_t, 13> header;
    for (int i = 0; i < 13; ++i) header[i] = static_cast<uint8_t>(0xF0 + i);
    const std::vector<uint8_t> data = RandomBytes(1234, 1);
    const std::vector<uint8_t> packed = EncodeLzhufPacked(data, header);
    ASSERT_GT(packed.size(), 17u);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), packed.begin()));
    int32_t size;
    std::memcpy(&size, &packed[13], 4);
    EXPECT_EQ(size, 1234);
    EXPECT_EQ(Unpack(packed), data);

    // Nothing to pack: the header and a size of 0, no stream.
    const std::vector<uint8_t> empty = EncodeLzhufPacked({});
    EXPECT_EQ(empty.size(), 17u);
    EXPECT_EQ(Unpack(empty).size(), 0u);
}

TEST(LzhufEncoder, RoundTripsShortRandomTextAndEchoData)
{
    for (size_t size : {1u, 2u, 3u, 59u, 60u, 61u, 4035u, 4096u, 4097u, 10000u}) {
        const std::vector<uint8_t> random = RandomBytes(size, static_cast<uint32_t>(size));
        EXPECT_EQ(Unpack(EncodeLzhufPacked(random)), random) << "random " << size;
        const std::vector<uint8_t> text = RandomBytes(size, static_cast<uint32_t>(size) + 7, 4);
        EXPECT_EQ(Unpack(EncodeLzhufPacked(text)), text) << "four letters " << size;
        const std::vector<uint8_t> echo = EchoBytes(size, static_cast<uint32_t>(size) + 13);
        EXPECT_EQ(Unpack(EncodeLzhufPacked(echo)), echo) << "echo " << size;
    }
}

TEST(LzhufEncoder, MatchesReachIntoTheLeadingSpacesAndAcrossTheRingsEnd)
{
    // Spaces at the start match the ring's pre-filled spaces before anything was written.
    std::vector<uint8_t> spaces(300, ' ');
    spaces.push_back('x');
    const std::vector<uint8_t> packedSpaces = EncodeLzhufPacked(spaces);
    EXPECT_LT(packedSpaces.size(), 40u);
    EXPECT_EQ(Unpack(packedSpaces), spaces);

    // A period of 97 over 50000 bytes: every match crosses the write position's wrap at
    // 4095 / 0 somewhere, and their sources lie on both sides of it.
    std::vector<uint8_t> periodic(50000);
    const std::vector<uint8_t> motif = RandomBytes(97, 5);
    for (size_t i = 0; i < periodic.size(); ++i) periodic[i] = motif[i % motif.size()];
    EXPECT_EQ(Unpack(EncodeLzhufPacked(periodic)), periodic);

    // The farthest match: the same 4000 random bytes twice, 4000 apart.
    std::vector<uint8_t> twice = RandomBytes(4000, 6);
    twice.insert(twice.end(), twice.begin(), twice.end());
    const std::vector<uint8_t> packedTwice = EncodeLzhufPacked(twice);
    EXPECT_LT(packedTwice.size(), 4000u + 600u);
    EXPECT_EQ(Unpack(packedTwice), twice);
}

TEST(LzhufEncoder, LongRunsUseSixtyByteMatchesAndEndExactly)
{
    // One run: after the first literal every symbol is a 60-byte match; sizes that are
    // not a multiple of 60 end with a shorter, clipped match.
    for (size_t size : {61u, 3601u, 3630u, 100000u}) {
        const std::vector<uint8_t> run(size, 'a');
        const std::vector<uint8_t> packed = EncodeLzhufPacked(run);
        EXPECT_LT(packed.size(), 17 + size / 60 * 2 + 40) << size;
        EXPECT_EQ(Unpack(packed), run) << size;
    }
}

TEST(LzhufEncoder, StreamsThatRebuildTheTreeManyTimes)
{
    // The tree is rebuilt about every 16000 symbols: random data of this size rebuilds it
    // more than a dozen times, and the echo data mixes literals and matches across them.
    const std::vector<uint8_t> random = RandomBytes(300000, 21);
    EXPECT_EQ(Unpack(EncodeLzhufPacked(random)), random);
    const std::vector<uint8_t> echo = EchoBytes(600000, 22);
    const std::vector<uint8_t> packed = EncodeLzhufPacked(echo);
    EXPECT_LT(packed.size(), echo.size());
    EXPECT_EQ(Unpack(packed), echo);
}

TEST(LzhufEncoder, RoundTripsRealPictures)
{
    const std::vector<uint8_t> jpeg = EncodeJpeg(ToRgb(PaintSky(256)));
    EXPECT_EQ(Unpack(EncodeLzhufPacked(jpeg)), jpeg);
    const std::vector<uint8_t> bmp = EncodeBmp32(ToRgb(PaintLeaf(5, 128)));
    const std::vector<uint8_t> packedBmp = EncodeLzhufPacked(bmp);
    EXPECT_LT(packedBmp.size(), bmp.size() / 2);
    EXPECT_EQ(Unpack(packedBmp), bmp);
}

TEST(LzhufEncoder, TwoRunsGiveTheSameBytes)
{
    const std::vector<uint8_t> data = EchoBytes(80000, 31);
    EXPECT_EQ(EncodeLzhufPacked(data), EncodeLzhufPacked(data));
}

} // namespace
