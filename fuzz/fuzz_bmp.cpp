// Fuzzes the BMP reader: any input must decode or raise FatalError.
#include "base/error.h"
#include "resources/image_readers.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        DecodeBmp(data, size, "fuzz.bmp");
    } catch (const FatalError&) {
    }
    return 0;
}
