// lzhpacker: LZHUF decoding. The adaptive Huffman tree keeps its nodes ordered by
// frequency (sibling property); a symbol's leaf moves up as it becomes more frequent, and
// the whole tree is rebuilt with halved frequencies when the root reaches 0x8000.
#include "resources/lzhpacker.h"

#include "base/error.h"

#include <cstring>

LzhInput LzhIn;
LzhOutput LzhOut;

namespace {

constexpr int kSymbolCount = 256 - kLzhThreshold + kLzhLookAhead;  // 314: literals and lengths
constexpr int kTreeSize = 2 * kSymbolCount - 1;                    // 627 nodes
constexpr int kRoot = kTreeSize - 1;
constexpr int kFrequencyLimit = 0x8000;
constexpr int kRingMask = kLzhWindowSize - 1;
constexpr int kRingStart = kLzhWindowSize - kLzhLookAhead;         // 4036, first write position

// Upper six bits of a position and the length of its code, by the code's first 8 bits.
struct PositionCode {
    uint8_t upperBits[256];
    uint8_t codeLength[256];
};

constexpr PositionCode MakePositionCode()
{
    PositionCode table{};
    for (int b = 0; b < 256; ++b) {
        int upper = 0, length = 0;
        if (b < 32) { upper = 0; length = 3; }
        else if (b < 80) { upper = 1 + (b - 32) / 16; length = 4; }
        else if (b < 144) { upper = 4 + (b - 80) / 8; length = 5; }
        else if (b < 192) { upper = 12 + (b - 144) / 4; length = 6; }
        else if (b < 240) { upper = 24 + (b - 192) / 2; length = 7; }
        else { upper = 48 + (b - 240); length = 8; }
        table.upperBits[b] = static_cast<uint8_t>(upper);
        table.codeLength[b] = static_cast<uint8_t>(length);
    }
    return table;
}

constexpr PositionCode kPositionCode = MakePositionCode();

uint8_t g_ring[kLzhWindowSize];
uint16_t g_frequency[kTreeSize + 1];           // the last entry is a 0xFFFF sentinel
uint16_t g_parent[kTreeSize + kSymbolCount];   // at kTreeSize + s: the leaf of symbol s
uint16_t g_child[kTreeSize];                   // kTreeSize + s marks the leaf of symbol s

uint16_t g_bitBuffer;
uint8_t g_bitCount;
// Zero bytes taken after the input ran out. The bit reader looks up to two bytes ahead,
// so they are harmless until one of their bits is used.
int g_fillerBytes;

uint8_t TakeByte()
{
    if (LzhIn.position >= LzhIn.fill) {
        ++g_fillerBytes;
        return 0;
    }
    const uint8_t byte = LzhIn.buffer[LzhIn.position++];
    if (LzhIn.position == LzhIn.fill) LzhIn.RefillInput();
    return byte;
}

void FillBitBuffer()
{
    while (g_bitCount <= 8) {
        g_bitBuffer = static_cast<uint16_t>(g_bitBuffer | (TakeByte() << (8 - g_bitCount)));
        g_bitCount = static_cast<uint8_t>(g_bitCount + 8);
    }
}

// Filler bytes sit at the bottom of the bit buffer; using any of their bits means the
// stream wanted more than the input holds.
void CheckBitsWereReal()
{
    if (g_bitCount < 8 * g_fillerBytes) throw LzhStreamError("packed stream cut short");
}

int TakeBit()
{
    FillBitBuffer();
    const int bit = g_bitBuffer >> 15;
    g_bitBuffer = static_cast<uint16_t>(g_bitBuffer << 1);
    --g_bitCount;
    CheckBitsWereReal();
    return bit;
}

int TakeEightBits()
{
    FillBitBuffer();
    const int bits = g_bitBuffer >> 8;
    g_bitBuffer = static_cast<uint16_t>(g_bitBuffer << 8);
    g_bitCount = static_cast<uint8_t>(g_bitCount - 8);
    CheckBitsWereReal();
    return bits;
}

void PutByte(uint8_t byte)
{
    LzhOut.buffer[LzhOut.position++] = byte;
    if (LzhOut.position == LzhOut.capacity) LzhOut.OutputFull();
}

void StartTree()
{
    for (int s = 0; s < kSymbolCount; ++s) {
        g_frequency[s] = 1;
        g_child[s] = static_cast<uint16_t>(s + kTreeSize);
        g_parent[s + kTreeSize] = static_cast<uint16_t>(s);
    }
    for (int i = 0, j = kSymbolCount; j <= kRoot; i += 2, ++j) {
        g_frequency[j] = static_cast<uint16_t>(g_frequency[i] + g_frequency[i + 1]);
        g_child[j] = static_cast<uint16_t>(i);
        g_parent[i] = g_parent[i + 1] = static_cast<uint16_t>(j);
    }
    g_frequency[kTreeSize] = 0xFFFF;
    g_parent[kRoot] = 0;
}

// Halves every leaf frequency and builds the inner nodes again in frequency order.
void RebuildTree()
{
    int j = 0;
    for (int i = 0; i < kTreeSize; ++i) {
        if (g_child[i] >= kTreeSize) {
            g_frequency[j] = static_cast<uint16_t>((g_frequency[i] + 1) / 2);
            g_child[j] = g_child[i];
            ++j;
        }
    }
    for (int i = 0, node = kSymbolCount; node < kTreeSize; i += 2, ++node) {
        const uint16_t f = static_cast<uint16_t>(g_frequency[i] + g_frequency[i + 1]);
        int k = node - 1;
        while (k > 0 && f < g_frequency[k]) --k;
        if (f >= g_frequency[k]) ++k;
        const size_t moved = static_cast<size_t>(node - k);
        std::memmove(&g_frequency[k + 1], &g_frequency[k], moved * sizeof(uint16_t));
        std::memmove(&g_child[k + 1], &g_child[k], moved * sizeof(uint16_t));
        g_frequency[k] = f;
        g_child[k] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < kTreeSize; ++i) {
        const int k = g_child[i];
        if (k >= kTreeSize) {
            g_parent[k] = static_cast<uint16_t>(i);
        } else {
            g_parent[k] = g_parent[k + 1] = static_cast<uint16_t>(i);
        }
    }
}

void UpdateTree(int symbol)
{
    if (g_frequency[kRoot] == kFrequencyLimit) RebuildTree();
    int c = g_parent[symbol + kTreeSize];
    do {
        const uint16_t k = ++g_frequency[c];
        if (k > g_frequency[c + 1]) {
            int l = c + 1;
            while (k > g_frequency[l + 1]) ++l;
            g_frequency[c] = g_frequency[l];
            g_frequency[l] = k;

            const int i = g_child[c];
            g_parent[i] = static_cast<uint16_t>(l);
            if (i < kTreeSize) g_parent[i + 1] = static_cast<uint16_t>(l);

            const int j = g_child[l];
            g_child[l] = static_cast<uint16_t>(i);
            g_parent[j] = static_cast<uint16_t>(c);
            if (j < kTreeSize) g_parent[j + 1] = static_cast<uint16_t>(c);
            g_child[c] = static_cast<uint16_t>(j);
            c = l;
        }
        c = g_parent[c];
    } while (c != 0);
}

int DecodeSymbol()
{
    int c = g_child[kRoot];
    while (c < kTreeSize) c = g_child[c + TakeBit()];
    const int symbol = c - kTreeSize;
    UpdateTree(symbol);
    return symbol;
}

int DecodePosition()
{
    int b = TakeEightBits();
    const int upper = kPositionCode.upperBits[b] << 6;
    for (int n = kPositionCode.codeLength[b] - 2; n > 0; --n) b = (b << 1) + TakeBit();
    return upper | (b & 63);
}

} // namespace

int32_t LzhDecode()
{
    g_bitBuffer = 0;
    g_bitCount = 0;
    g_fillerBytes = 0;

    for (int i = 0; i < kLzhHeaderSkip; ++i) TakeByte();
    uint32_t size = 0;
    for (int i = 0; i < 4; ++i) size |= static_cast<uint32_t>(TakeByte()) << (8 * i);
    if (g_fillerBytes > 0) throw LzhStreamError("packed file shorter than its 17-byte header");
    const int32_t unpackedSize = static_cast<int32_t>(size);
    if (unpackedSize < 0 || unpackedSize > LzhOut.capacity)
        throw LzhStreamError(StrFormat("unpacked size %d outside 0..%d", unpackedSize, LzhOut.capacity));
    if (unpackedSize == 0) return 0;

    StartTree();
    std::memset(g_ring, ' ', kRingStart);
    int r = kRingStart;
    int32_t produced = 0;
    while (produced < unpackedSize) {
        const int c = DecodeSymbol();
        if (c < 256) {
            PutByte(static_cast<uint8_t>(c));
            g_ring[r] = static_cast<uint8_t>(c);
            r = (r + 1) & kRingMask;
            ++produced;
            continue;
        }
        const int start = (r - DecodePosition() - 1) & kRingMask;
        const int length = c - 255 + kLzhThreshold;  // 3 .. kLzhLookAhead
        for (int k = 0; k < length; ++k) {
            const int from = (start + k) & kRingMask;
            // Until the first kLzhLookAhead bytes are out, the ring past the write position
            // holds nothing of this stream.
            if (produced < kLzhLookAhead && from >= r)
                throw LzhStreamError("packed stream copies from before the start of its data");
            const uint8_t byte = g_ring[from];
            PutByte(byte);
            g_ring[r] = byte;
            r = (r + 1) & kRingMask;
            ++produced;
        }
    }
    return unpackedSize;
}
