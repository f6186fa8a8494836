// SHA-256 (FIPS 180-4), fed in pieces: the digest that names a data folder's contents in the
// label of a capture's part, so that parts drawn from different data are never joined.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    Sha256();
    void Add(const void* bytes, size_t size);
    // The digest of everything added, as 64 lower-case hex digits. Ends the hashing: add
    // nothing after it.
    std::string HexDigest();

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 8> m_state;
    std::array<uint8_t, 64> m_block{};
    size_t m_blockUsed = 0;
    uint64_t m_totalBytes = 0;
};
