// Fuzzes the LZHUF decoder with whole packed files: any input must decode or raise
// FatalError, never read or write out of bounds, never hang.
#include "base/error.h"
#include "resources/norvikpack.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        UnpackMemory(data, size, "fuzz.packed");
    } catch (const FatalError&) {
    }
    return 0;
}
