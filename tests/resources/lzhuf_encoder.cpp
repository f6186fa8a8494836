// Test-only LZHUF encoder (see lzhuf_encoder.h).
#include "lzhuf_encoder.h"

#include <algorithm>

namespace {

constexpr int kWindow = 4096;
constexpr int kLongest = 60;
constexpr int kShortest = 3;
constexpr int kPreset = kWindow - kLongest; // spaces before the data
constexpr int kLeaves = 256 + kLongest - kShortest + 1;
constexpr int kNodes = 2 * kLeaves - 1;
constexpr int kTop = kNodes - 1;
constexpr int kChainLimit = 512;

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}
    void Put(uint32_t bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = static_cast<uint8_t>(m_byte << 1 | ((bits >> i) & 1));
            if (++m_filled == 8) {
                m_out.push_back(m_byte);
                m_filled = 0;
                m_byte = 0;
            }
        }
    }
    void Flush()
    {
        if (m_filled > 0) m_out.push_back(static_cast<uint8_t>(m_byte << (8 - m_filled)));
        m_filled = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint8_t m_byte = 0;
    int m_filled = 0;
};

// Nodes are kept in ascending weight; the two children of a node sit side by side, the
// first at an even index; a leaf is marked by kNodes + symbol in `down`.
class AdaptiveTree {
public:
    AdaptiveTree()
    {
        for (int s = 0; s < kLeaves; ++s) {
            m_weight[s] = 1;
            m_down[s] = kNodes + s;
            m_up[kNodes + s] = s;
        }
        for (int n = kLeaves, pair = 0; n < kNodes; ++n, pair += 2) {
            m_weight[n] = m_weight[pair] + m_weight[pair + 1];
            m_down[n] = pair;
            m_up[pair] = m_up[pair + 1] = n;
        }
        m_weight[kNodes] = 0xFFFF;
        m_up[kTop] = 0;
    }

    void Code(int symbol, BitWriter& out)
    {
        int path[kNodes];
        int length = 0;
        for (int node = m_up[kNodes + symbol]; node != kTop; node = m_up[node]) path[length++] = node & 1;
        while (length > 0) out.Put(static_cast<uint32_t>(path[--length]), 1);
        Count(symbol);
    }

private:
    void Count(int symbol)
    {
        if (m_weight[kTop] == 0x8000) Rebalance();
        // The leaf may sit at node 0, so the first step runs before the test for the root.
        int node = m_up[kNodes + symbol];
        do {
            const int weight = ++m_weight[node];
            if (weight > m_weight[node + 1]) {
                int swapWith = node + 1;
                while (weight > m_weight[swapWith + 1]) ++swapWith;
                std::swap(m_weight[node], m_weight[swapWith]);
                const int mine = m_down[node], theirs = m_down[swapWith];
                Hang(mine, swapWith);
                Hang(theirs, node);
                m_down[node] = theirs;
                m_down[swapWith] = mine;
                node = swapWith;
            }
            node = m_up[node];
        } while (node != 0);
    }

    // Points the child (a leaf marker, or the first of two nodes) at a new parent.
    void Hang(int child, int parent)
    {
        m_up[child] = parent;
        if (child < kNodes) m_up[child + 1] = parent;
    }

    void Rebalance()
    {
        int leaves = 0;
        for (int n = 0; n < kNodes; ++n) {
            if (m_down[n] >= kNodes) {
                m_weight[leaves] = (m_weight[n] + 1) / 2;
                m_down[leaves] = m_down[n];
                ++leaves;
            }
        }
        for (int n = kLeaves, pair = 0; n < kNodes; ++n, pair += 2) {
            const int weight = m_weight[pair] + m_weight[pair + 1];
            int at = n;
            while (at > 0 && weight < m_weight[at - 1]) {
                m_weight[at] = m_weight[at - 1];
                m_down[at] = m_down[at - 1];
                --at;
            }
            m_weight[at] = weight;
            m_down[at] = pair;
        }
        for (int n = 0; n < kNodes; ++n) Hang(m_down[n], n);
    }

    int m_weight[kNodes + 1];
    int m_down[kNodes];
    int m_up[kNodes + kLeaves];
};

// Positions: the upper six bits as a 3- to 8-bit prefix, then the lower six bits. Band b
// has prefixes of b + 3 bits, counting up from kFirstCode[b] for consecutive upper bits.
void CodePosition(int position, BitWriter& out)
{
    static const int kFirstUpper[] = {0, 1, 4, 12, 24, 48, 64};
    static const int kFirstCode[] = {0, 2, 10, 36, 96, 240};
    const int upper = position >> 6;
    int band = 0;
    while (upper >= kFirstUpper[band + 1]) ++band;
    out.Put(static_cast<uint32_t>(kFirstCode[band] + upper - kFirstUpper[band]), band + 3);
    out.Put(static_cast<uint32_t>(position & 63), 6);
}

std::vector<uint8_t> CodeTokens(const std::vector<LzhufToken>& tokens, const std::array<uint8_t, 13>& header,
                                uint32_t declaredSize)
{
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(declaredSize >> (8 * i)));
    BitWriter out(bytes);
    AdaptiveTree tree;
    for (const LzhufToken& token : tokens) {
        if (token.literal >= 0) {
            tree.Code(token.literal, out);
        } else {
            tree.Code(256 + token.length - kShortest, out);
            CodePosition(token.position, out);
        }
    }
    out.Flush();
    return bytes;
}

// Greedy parse: at each byte, the longest match in the window (hash chains over the
// history the decoder sees: the preset spaces, then the data), else a literal.
std::vector<LzhufToken> ParseGreedy(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> history(static_cast<size_t>(kPreset), ' ');
    history.insert(history.end(), data.begin(), data.end());
    const int total = static_cast<int>(history.size());
    std::vector<int> newest(1 << 16, -1), previous(history.size(), -1);
    auto hash = [&](int at) {
        return (history[static_cast<size_t>(at)] << 8 ^ history[static_cast<size_t>(at) + 1] << 4 ^
                history[static_cast<size_t>(at) + 2]) & 0xFFFF;
    };
    auto remember = [&](int at) {
        if (at + 2 >= total) return;
        previous[static_cast<size_t>(at)] = newest[static_cast<size_t>(hash(at))];
        newest[static_cast<size_t>(hash(at))] = at;
    };
    for (int at = 0; at < kPreset; ++at) remember(at);

    std::vector<LzhufToken> tokens;
    int at = kPreset;
    while (at < total) {
        const int room = std::min(kLongest, total - at);
        int bestLength = 0, bestFrom = 0;
        if (room >= kShortest) {
            int chain = 0;
            for (int from = newest[static_cast<size_t>(hash(at))]; from >= 0 && at - from <= kWindow && chain < kChainLimit;
                 from = previous[static_cast<size_t>(from)], ++chain) {
                int length = 0;
                while (length < room && history[static_cast<size_t>(from + length)] == history[static_cast<size_t>(at + length)])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestFrom = from;
                    if (length == room) break;
                }
            }
        }
        if (bestLength >= kShortest) {
            tokens.push_back({-1, bestLength, at - bestFrom - 1});
        } else {
            bestLength = 1;
            tokens.push_back({history[static_cast<size_t>(at)], 0, 0});
        }
        for (int k = 0; k < bestLength; ++k) remember(at + k);
        at += bestLength;
    }
    return tokens;
}

} // namespace

LzhufEncoded EncodeLzhufForTest(const std::vector<uint8_t>& data, const std::array<uint8_t, 13>& header,
                                std::optional<uint32_t> declaredSize)
{
    const std::vector<LzhufToken> tokens = ParseGreedy(data);
    LzhufEncoded result;
    result.bytes = CodeTokens(tokens, header, declaredSize.value_or(static_cast<uint32_t>(data.size())));
    result.symbols = static_cast<int>(tokens.size());
    for (const LzhufToken& token : tokens) result.matches += token.literal < 0 ? 1 : 0;
    result.tailMatchLength = tokens.empty() || tokens.back().literal >= 0 ? 0 : tokens.back().length;
    return result;
}

std::vector<uint8_t> CodeLzhufTokensForTest(const std::vector<LzhufToken>& tokens, uint32_t declaredSize)
{
    return CodeTokens(tokens, {}, declaredSize);
}
