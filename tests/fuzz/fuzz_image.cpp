// The host's image reading: any bytes give a document or a message, never a
// crash, undefined behaviour or a leak.
#include <cstddef>
#include <cstdint>

#include "host/zerafin/image_files/image_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A smaller pixel cap than the host's keeps each run short; the checks
    // before decoding are the same.
    constexpr int64_t kFuzzPixels = 1 << 14;
    Document document;
    std::string error;
    if (decodeDocument({data, size}, "fuzz", document, error, kFuzzPixels) &&
        (document.width < 1 || document.height < 1 || document.channels.size() < 3))
        __builtin_trap();
    return 0;
}
