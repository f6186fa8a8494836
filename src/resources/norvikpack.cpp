// norvikpack: wires the LZHUF decoder to a packed file (read in blocks of 16384 bytes) or
// to packed bytes in memory, and to the fixed UnpackBuffer.
#include "resources/norvikpack.h"

#include "base/error.h"
#include "base/files.h"
#include "resources/lzhpacker.h"

#include <algorithm>
#include <cstdio>
#include <string>

uint8_t UnpackBuffer[kUnpackBufferSize];

namespace {

constexpr int32_t kInputBlockSize = 16384;

uint8_t g_inputBlock[kInputBlockSize];
std::FILE* g_inputFile = nullptr;
std::string_view g_inputName;

const uint8_t* g_memoryInput = nullptr;
size_t g_memoryLeft = 0;

// The last match of a stream is copied whole and may run up to kLzhLookAhead - 1 bytes
// past the unpacked size; when that reaches the end of UnpackBuffer the rest lands here.
uint8_t g_overrunSink[kLzhLookAhead];

void RefillFromFile()
{
    const size_t got = std::fread(g_inputBlock, 1, kInputBlockSize, g_inputFile);
    if (got < static_cast<size_t>(kInputBlockSize) && std::ferror(g_inputFile))
        ThrowFileError(g_inputName, "read error");
    LzhIn.buffer = g_inputBlock;
    LzhIn.position = 0;
    LzhIn.fill = static_cast<int32_t>(got);
}

void RefillFromMemory()
{
    const size_t block = std::min(g_memoryLeft, static_cast<size_t>(kInputBlockSize));
    LzhIn.buffer = g_memoryInput;
    LzhIn.position = 0;
    LzhIn.fill = static_cast<int32_t>(block);
    g_memoryInput += block;
    g_memoryLeft -= block;
}

void SendOverrunToSink()
{
    LzhOut.buffer = g_overrunSink;
    LzhOut.position = 0;
    LzhOut.capacity = kLzhLookAhead;
}

// Points the output at UnpackBuffer, runs the decoder and names the file in its errors.
int32_t DecodeInto(std::string_view name)
{
    LzhOut = {UnpackBuffer, 0, kUnpackBufferSize, &SendOverrunToSink};
    LzhIn.RefillInput();
    try {
        return LzhDecode();
    } catch (const LzhStreamError& error) {
        ThrowFileError(name, error.what());
    }
}

} // namespace

int32_t UnpackFile(std::string_view path)
{
    FilePtr file = OpenForReading(path);
    g_inputFile = file.get();
    g_inputName = path;
    LzhIn = {g_inputBlock, 0, 0, &RefillFromFile};
    return DecodeInto(path);
}

int32_t UnpackMemory(const uint8_t* data, size_t size, std::string_view name)
{
    g_memoryInput = data;
    g_memoryLeft = size;
    LzhIn = {data, 0, 0, &RefillFromMemory};
    return DecodeInto(name);
}
