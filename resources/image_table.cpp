#include "resources/image_table.h"

namespace {
constexpr ColourDepth kMono = ColourDepth::Monochrome;
constexpr ColourDepth kColour = ColourDepth::SixteenColours;

// An icon drawn in 16 colours and again in black and white.
ImageResource icon(int id, std::vector<std::string> layers) {
    return {ImageKind::Icon, id, {{layers, kColour}, {layers, kMono}}};
}

// Both light cursors point with the middle of the bulb's glass.
ImageResource cursor(int id, std::string art) {
    return {ImageKind::Cursor, id, {{{std::move(art)}, kMono}}, 16, 13};
}
} // namespace

const std::vector<ImageResource>& orvaneImages() {
    static const std::vector<ImageResource> images{
        // Trash and light well faces in the main dialog.
        {ImageKind::Bitmap, 113, {{{"trash_outline_16"}, kMono}}},
        {ImageKind::Bitmap, 114, {{{"trash_filled_16"}, kMono}}},
        {ImageKind::Bitmap, 115, {{{"bulb_lit_16"}, kMono}}},
        {ImageKind::Bitmap, 116, {{{"empty_square_16"}, kColour}}},
        {ImageKind::Bitmap, 117, {{{"bulb_grey_16"}, kColour}}},

        {ImageKind::Icon,
         108,
         {{{"trash_32"}, kColour}, {{"trash_32"}, kMono}, {{"trash_narrow_16x32"}, kMono}}},
        icon(110, {"bulb_lit_32"}),
        icon(111, {"empty_square_32"}),
        icon(112, {"bulb_grey_32"}),
        icon(113, {"double_frame_32", "bulb_grey_32"}),
        icon(114, {"double_frame_32", "bulb_lit_32"}),

        cursor(109, "cursor_bulb_small"),
        cursor(110, "cursor_bulb_large"),
    };
    return images;
}
