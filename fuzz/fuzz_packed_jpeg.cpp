// Fuzzes the way a ".packed" texture is read: the LZHUF decoder into UnpackBuffer, then the
// JPEG reader on what it produced. Any input must decode or raise FatalError.
#include "base/error.h"
#include "resources/image_readers.h"
#include "resources/norvikpack.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const DecodedImage image = DecodeUnpackedJpeg(UnpackMemory(data, size, "fuzz.jpg.packed"), "fuzz.jpg.packed");
        if (image.rgb.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3)
            __builtin_trap();
    } catch (const FatalError&) {
    }
    return 0;
}
