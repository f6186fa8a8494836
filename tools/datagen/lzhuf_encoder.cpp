// The LZHUF encoder behind ".packed" files: LZSS over a 4096-byte ring that starts with
// 4036 spaces, matches of 3 to 60 bytes found with binary search trees, literals and match
// lengths in an adaptive Huffman code that is rebuilt whenever the root's frequency reaches
// 0x8000, and match positions as a fixed code for the upper six bits plus six raw bits.
// The adaptive code evolves exactly as the program's decoder evolves it, symbol by symbol.
#include "datagen/writers.h"

#include "base/error.h"

#include <climits>
#include <cstring>
#include <memory>

namespace {

constexpr int kRingSize = 4096;                  // N
constexpr int kLongestMatch = 60;                // F
constexpr int kShortestMatch = 3;                // threshold 2, plus one
constexpr int kRingStart = kRingSize - kLongestMatch;
constexpr int kSymbolCount = 256 + kLongestMatch - kShortestMatch + 1; // 314
constexpr int kTreeSize = 2 * kSymbolCount - 1;  // T = 627
constexpr int kRoot = kTreeSize - 1;
constexpr uint16_t kFrequencyLimit = 0x8000;
constexpr int kNoNode = kRingSize;               // "nil" of the match trees

// MSB-first bit output.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}
    void Put(unsigned bit)
    {
        m_byte = static_cast<uint8_t>((m_byte << 1) | (bit & 1));
        if (++m_count == 8) {
            m_out.push_back(m_byte);
            m_byte = 0;
            m_count = 0;
        }
    }
    void PutBits(unsigned value, int count)
    {
        for (int i = count - 1; i >= 0; --i) Put((value >> i) & 1);
    }
    void Flush()
    {
        if (m_count > 0) m_out.push_back(static_cast<uint8_t>(m_byte << (8 - m_count)));
        m_byte = 0;
        m_count = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint8_t m_byte = 0;
    int m_count = 0;
};

// The adaptive Huffman tree, the same tables and the same update and rebuild the decoder runs.
class AdaptiveCode {
public:
    AdaptiveCode()
    {
        for (int s = 0; s < kSymbolCount; ++s) {
            m_frequency[s] = 1;
            m_child[s] = static_cast<uint16_t>(s + kTreeSize);
            m_parent[s + kTreeSize] = static_cast<uint16_t>(s);
        }
        for (int i = 0, j = kSymbolCount; j <= kRoot; i += 2, ++j) {
            m_frequency[j] = static_cast<uint16_t>(m_frequency[i] + m_frequency[i + 1]);
            m_child[j] = static_cast<uint16_t>(i);
            m_parent[i] = m_parent[i + 1] = static_cast<uint16_t>(j);
        }
        m_frequency[kTreeSize] = 0xFFFF;
        m_parent[kRoot] = 0;
    }

    // Writes the symbol's path from the root, then adapts the tree to it.
    void Encode(int symbol, BitWriter& bits)
    {
        // A node's own index tells which child it is: children come in (even, odd) pairs.
        uint8_t path[kTreeSize];
        int depth = 0;
        for (int node = m_parent[symbol + kTreeSize]; node != kRoot; node = m_parent[node])
            path[depth++] = static_cast<uint8_t>(node & 1);
        for (int i = depth - 1; i >= 0; --i) bits.Put(path[i]);
        Update(symbol);
    }

private:
    void Update(int symbol)
    {
        if (m_frequency[kRoot] == kFrequencyLimit) Rebuild();
        int c = m_parent[symbol + kTreeSize];
        do {
            const unsigned k = ++m_frequency[c];
            if (k > m_frequency[c + 1]) {
                int l = c + 1;
                while (k > m_frequency[l + 1]) ++l;
                m_frequency[c] = m_frequency[l];
                m_frequency[l] = static_cast<uint16_t>(k);
                const int i = m_child[c];
                m_parent[i] = static_cast<uint16_t>(l);
                if (i < kTreeSize) m_parent[i + 1] = static_cast<uint16_t>(l);
                const int j = m_child[l];
                m_child[l] = static_cast<uint16_t>(i);
                m_parent[j] = static_cast<uint16_t>(c);
                if (j < kTreeSize) m_parent[j + 1] = static_cast<uint16_t>(c);
                m_child[c] = static_cast<uint16_t>(j);
                c = l;
            }
            c = m_parent[c];
        } while (c != 0);
    }

    void Rebuild()
    {
        int j = 0;
        for (int i = 0; i < kTreeSize; ++i) {
            if (m_child[i] >= kTreeSize) {
                m_frequency[j] = static_cast<uint16_t>((m_frequency[i] + 1) / 2);
                m_child[j] = m_child[i];
                ++j;
            }
        }
        for (int i = 0, node = kSymbolCount; node < kTreeSize; i += 2, ++node) {
            const uint16_t f = static_cast<uint16_t>(m_frequency[i] + m_frequency[i + 1]);
            int k = node - 1;
            while (f < m_frequency[k]) --k;
            ++k;
            std::memmove(&m_frequency[k + 1], &m_frequency[k], sizeof(uint16_t) * (node - k));
            std::memmove(&m_child[k + 1], &m_child[k], sizeof(uint16_t) * (node - k));
            m_frequency[k] = f;
            m_child[k] = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < kTreeSize; ++i) {
            const int k = m_child[i];
            if (k >= kTreeSize) {
                m_parent[k] = static_cast<uint16_t>(i);
            } else {
                m_parent[k] = m_parent[k + 1] = static_cast<uint16_t>(i);
            }
        }
    }

    uint16_t m_frequency[kTreeSize + 1] = {};
    uint16_t m_parent[kTreeSize + kSymbolCount] = {};
    uint16_t m_child[kTreeSize] = {};
};

// The fixed code of a position's upper six bits, derived from the decoder's table: the
// first 8-bit value that decodes to an upper value is its code, left-aligned.
struct PositionCode {
    uint8_t code[64];
    uint8_t length[64];
    PositionCode()
    {
        for (int b = 255; b >= 0; --b) {
            int upper, bits;
            if (b < 32) { upper = 0; bits = 3; }
            else if (b < 80) { upper = 1 + (b - 32) / 16; bits = 4; }
            else if (b < 144) { upper = 4 + (b - 80) / 8; bits = 5; }
            else if (b < 192) { upper = 12 + (b - 144) / 4; bits = 6; }
            else if (b < 240) { upper = 24 + (b - 192) / 2; bits = 7; }
            else { upper = 48 + (b - 240); bits = 8; }
            code[upper] = static_cast<uint8_t>(b);
            length[upper] = static_cast<uint8_t>(bits);
        }
    }
    void Encode(int position, BitWriter& bits) const
    {
        const int upper = position >> 6;
        bits.PutBits(code[upper] >> (8 - length[upper]), length[upper]);
        bits.PutBits(static_cast<unsigned>(position & 63), 6);
    }
};

// The LZSS window with one binary search tree of strings per first byte.
class MatchFinder {
public:
    MatchFinder()
    {
        std::memset(m_text, ' ', sizeof(m_text));
        for (int i = kRingSize + 1; i <= kRingSize + 256; ++i) m_right[i] = kNoNode;
        for (int i = 0; i < kRingSize; ++i) m_dad[i] = kNoNode;
    }

    // Stores a byte at ring position `at`, mirroring the first bytes past the end so that
    // string comparisons never wrap.
    void Store(int at, uint8_t byte)
    {
        m_text[at] = byte;
        if (at < kLongestMatch - 1) m_text[at + kRingSize] = byte;
    }
    uint8_t At(int at) const { return m_text[at]; }

    // Inserts the string at r; leaves the longest earlier match (the nearest among equals).
    void Insert(int r)
    {
        int cmp = 1;
        const uint8_t* key = &m_text[r];
        int p = kRingSize + 1 + key[0];
        m_right[r] = m_left[r] = kNoNode;
        matchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (m_right[p] != kNoNode) {
                    p = m_right[p];
                } else {
                    m_right[p] = r;
                    m_dad[r] = p;
                    return;
                }
            } else {
                if (m_left[p] != kNoNode) {
                    p = m_left[p];
                } else {
                    m_left[p] = r;
                    m_dad[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < kLongestMatch; ++i)
                if ((cmp = key[i] - m_text[p + i]) != 0) break;
            if (i >= kShortestMatch) {
                const int distance = ((r - p) & (kRingSize - 1)) - 1;
                if (i > matchLength) {
                    matchPosition = distance;
                    matchLength = i;
                    if (matchLength >= kLongestMatch) break;
                } else if (i == matchLength && distance < matchPosition) {
                    matchPosition = distance;
                }
            }
        }
        // Full-length match: node r takes the place of node p, which leaves the tree.
        m_dad[r] = m_dad[p];
        m_left[r] = m_left[p];
        m_right[r] = m_right[p];
        m_dad[m_left[p]] = r;
        m_dad[m_right[p]] = r;
        if (m_right[m_dad[p]] == p) {
            m_right[m_dad[p]] = r;
        } else {
            m_left[m_dad[p]] = r;
        }
        m_dad[p] = kNoNode;
    }

    void Delete(int p)
    {
        if (m_dad[p] == kNoNode) return;
        int q;
        if (m_right[p] == kNoNode) {
            q = m_left[p];
        } else if (m_left[p] == kNoNode) {
            q = m_right[p];
        } else {
            q = m_left[p];
            if (m_right[q] != kNoNode) {
                do q = m_right[q]; while (m_right[q] != kNoNode);
                m_right[m_dad[q]] = m_left[q];
                m_dad[m_left[q]] = m_dad[q];
                m_left[q] = m_left[p];
                m_dad[m_left[p]] = q;
            }
            m_right[q] = m_right[p];
            m_dad[m_right[p]] = q;
        }
        m_dad[q] = m_dad[p];
        if (m_right[m_dad[p]] == p) {
            m_right[m_dad[p]] = q;
        } else {
            m_left[m_dad[p]] = q;
        }
        m_dad[p] = kNoNode;
    }

    int matchLength = 0;
    int matchPosition = 0;

private:
    uint8_t m_text[kRingSize + kLongestMatch - 1];
    // Index kNoNode is a scratch slot that absorbs writes through "no node" links.
    int m_left[kRingSize + 1] = {};
    int m_right[kRingSize + 257] = {};
    int m_dad[kRingSize + 1] = {};
};

} // namespace

std::vector<uint8_t> EncodeLzhufPacked(const std::vector<uint8_t>& data,
                                       const std::array<uint8_t, 13>& header)
{
    if (data.size() > static_cast<size_t>(INT32_MAX))
        throw FatalError(StrFormat("EncodeLzhufPacked: %zu bytes do not fit the size field", data.size()));
    std::vector<uint8_t> out(header.begin(), header.end());
    const uint32_t size = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(size >> (8 * i)));
    if (data.empty()) return out;

    // Large tables: keep them off the stack.
    auto finder = std::make_unique<MatchFinder>();
    auto code = std::make_unique<AdaptiveCode>();
    static const PositionCode positions;
    BitWriter bits(out);

    size_t next = 0; // next input byte to enter the look-ahead
    int s = 0;
    int r = kRingStart;
    int lookahead = 0;
    while (lookahead < kLongestMatch && next < data.size()) finder->Store(r + lookahead++, data[next++]);
    for (int i = 1; i <= kLongestMatch; ++i) finder->Insert(r - i);
    finder->Insert(r);
    do {
        if (finder->matchLength > lookahead) finder->matchLength = lookahead;
        if (finder->matchLength < kShortestMatch) {
            finder->matchLength = 1;
            code->Encode(finder->At(r), bits);
        } else {
            code->Encode(255 - (kShortestMatch - 1) + finder->matchLength, bits);
            positions.Encode(finder->matchPosition, bits);
        }
        const int consumed = finder->matchLength;
        int i = 0;
        for (; i < consumed && next < data.size(); ++i) {
            finder->Delete(s);
            finder->Store(s, data[next++]);
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            finder->Insert(r);
        }
        for (; i < consumed; ++i) {
            finder->Delete(s);
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            if (--lookahead > 0) finder->Insert(r);
        }
    } while (lookahead > 0);
    bits.Flush();
    // The decoder's bit reader looks up to two bytes ahead of the bits it uses; two zero
    // bytes keep those reads inside the file for decoders that refuse to read past its end.
    out.push_back(0);
    out.push_back(0);
    return out;
}
