// norvikpack: reads a ".packed" file (13 header bytes, a signed 32-bit unpacked size, an
// LZHUF stream) into the process-wide UnpackBuffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr int32_t kUnpackBufferSize = 8000000;

// The decoded bytes of the last UnpackFile, from its first byte.
extern uint8_t UnpackBuffer[kUnpackBufferSize];

// Decodes the whole file into UnpackBuffer and returns the unpacked size. A file that
// cannot be opened, a size above kUnpackBufferSize or below 0, or a stream cut short
// raises FatalError naming the file.
int32_t UnpackFile(std::string_view path);

// The same for packed bytes already in memory; `name` is the file named in errors.
int32_t UnpackMemory(const uint8_t* data, size_t size, std::string_view name);
