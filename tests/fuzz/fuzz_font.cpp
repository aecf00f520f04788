// The gallery's label font: any bytes are refused with a message or give a
// font that measures and draws any text, never a crash, undefined behaviour,
// a leak or a hang.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/zerafin/labels/label_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LabelFont font;
    std::string error;
    if (!font.load(std::vector<uint8_t>(data, data + size), error)) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    // Latin letters, kerned pairs, accents and characters few fonts have.
    const std::string text = "AVATAR Wo fi \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 ~";
    const uint8_t colour[3] = {255, 255, 255};
    RgbImage image(96, 40, 0);
    font.widthOf(text, 17);
    font.drawCentred(image, 4, 4, 88, 28, text, 17, colour);
    return 0;
}
