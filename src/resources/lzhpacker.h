// lzhpacker: the LZHUF decoder (LZSS with a 4096-byte window, adaptive Huffman coding of
// literals and match lengths, a fixed code for the upper six bits of match positions).
// It knows nothing of files: bytes come from LzhInput, which the caller's RefillInput
// fills, and go to LzhOutput, whose OutputFull the caller supplies. All state is static;
// one decode runs at a time.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

constexpr int kLzhWindowSize = 4096;   // ring buffer, positions wrap with kLzhWindowSize - 1
constexpr int kLzhLookAhead = 60;      // longest match
constexpr int kLzhThreshold = 2;       // matches are at least kLzhThreshold + 1 bytes
constexpr int kLzhHeaderSkip = 13;     // leading bytes nobody looks at
constexpr int kLzhHeaderSize = kLzhHeaderSkip + 4;

// Taking a byte reads buffer[position] and advances; when position then equals fill,
// RefillInput runs at once and must set position to 0 and fill to the bytes it placed
// (0 at the end of the input). buffer may be repointed by RefillInput.
struct LzhInput {
    const uint8_t* buffer = nullptr;
    int32_t position = 0;
    int32_t fill = 0;
    void (*RefillInput)() = nullptr;
};

// Putting a byte stores buffer[position] and advances; when position then equals capacity,
// OutputFull runs at once and must leave room for the next byte.
struct LzhOutput {
    uint8_t* buffer = nullptr;
    int32_t position = 0;
    int32_t capacity = 0;
    void (*OutputFull)() = nullptr;
};

extern LzhInput LzhIn;
extern LzhOutput LzhOut;

// A stream the decoder cannot decode: cut short, a size out of range, or a match that
// refers to bytes before the start of the data. The caller adds the file name.
class LzhStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes one stream (13 skipped bytes, the signed 32-bit unpacked size, the bit stream)
// from LzhIn into LzhOut and returns the unpacked size. The last match is copied whole,
// so up to kLzhLookAhead - 1 bytes past the unpacked size may be put. A size below 0 or
// above LzhOut.capacity, or a stream that needs bits past the end of its input, raises
// LzhStreamError; no byte outside LzhIn.buffer[0 .. fill) is ever read.
int32_t LzhDecode();
