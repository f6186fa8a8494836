// Little-endian fields of the data formats (geox, BMP, camera, WAV ...), read and written
// byte by byte so the files mean the same on any host.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

inline uint16_t ReadU16LE(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t ReadU32LE(const uint8_t* bytes)
{
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

inline float ReadFloatLE(const uint8_t* bytes)
{
    const uint32_t bits = ReadU32LE(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void StoreU32LE(uint32_t value, uint8_t* bytes)
{
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void StoreFloatLE(float value, uint8_t* bytes)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    StoreU32LE(bits, bytes);
}

// Appends the low `size` bytes of value, least significant first.
inline void AppendLE(std::vector<uint8_t>& out, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void AppendFloatLE(std::vector<uint8_t>& out, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendLE(out, bits, 4);
}
