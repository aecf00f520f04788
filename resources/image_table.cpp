#include "resources/image_table.h"

#include "resources/resource_ids.h"

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
        {ImageKind::Bitmap, kBitmapTrashEmpty, {{{"trash_outline_16"}, kMono}}},
        {ImageKind::Bitmap, kBitmapTrashFull, {{{"trash_filled_16"}, kMono}}},
        {ImageKind::Bitmap, kBitmapBulbLit, {{{"bulb_lit_16"}, kMono}}},
        {ImageKind::Bitmap, kBitmapEmptySquare, {{{"empty_square_16"}, kColour}}},
        {ImageKind::Bitmap, kBitmapBulbGrey, {{{"bulb_grey_16"}, kColour}}},

        {ImageKind::Icon,
         kIconTrash,
         {{{"trash_32"}, kColour}, {{"trash_32"}, kMono}, {{"trash_narrow_16x32"}, kMono}}},
        icon(kIconBulbLit, {"bulb_lit_32"}),
        icon(kIconEmptySquare, {"empty_square_32"}),
        icon(kIconBulbGrey, {"bulb_grey_32"}),
        icon(kIconFramedBulbGrey, {"double_frame_32", "bulb_grey_32"}),
        icon(kIconFramedBulbLit, {"double_frame_32", "bulb_lit_32"}),

        cursor(kCursorBulbSmall, "cursor_bulb_small"),
        cursor(kCursorBulbLarge, "cursor_bulb_large"),
    };
    return images;
}
