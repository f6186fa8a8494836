// A small LZHUF encoder for the tests, written apart from the program's decoder: greedy
// LZSS over the same space-filled 4096-byte window, literals and lengths through an
// adaptive Huffman tree kept by the same rules, positions through the fixed prefix code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct LzhufEncoded {
    std::vector<uint8_t> bytes; // a whole packed file: 13 header bytes, size, bit stream
    int symbols = 0;            // literals and matches coded
    int matches = 0;
    int tailMatchLength = 0;    // length of the last symbol when it is a match, else 0
};

// Encodes `data`. The size field holds declaredSize when it is given, so a test can make
// the last match run past the size the header announces, or announce any size at all.
LzhufEncoded EncodeLzhufForTest(const std::vector<uint8_t>& data, const std::array<uint8_t, 13>& header = {},
                                std::optional<uint32_t> declaredSize = std::nullopt);

// One coded step: a literal byte, or a match of `length` (3..60) bytes starting
// `position` + 1 bytes back in the window (position 0..4095).
struct LzhufToken {
    int literal = -1;
    int length = 0;
    int position = 0;
};

// Codes the tokens as they are, with no check that they make sense: for hand-made streams.
std::vector<uint8_t> CodeLzhufTokensForTest(const std::vector<LzhufToken>& tokens, uint32_t declaredSize);
