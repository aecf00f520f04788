// The module's bitmaps, icons and cursors: sizes, colour depths, hot spots and
// orientation, and a contact sheet of all of them, four times enlarged, saved
// as artifacts/images.png for the eye.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/win32_module.h"

namespace {
const LPCSTR kBitmapType = MAKEINTRESOURCEA(2);
const LPCSTR kCursorGroupType = MAKEINTRESOURCEA(12);
const LPCSTR kIconGroupType = MAKEINTRESOURCEA(14);

const uint8_t* resourceBytes(int id, LPCSTR type) {
    HRSRC found = FindResourceA(loadedModule(), MAKEINTRESOURCEA(id), type);
    return found ? static_cast<const uint8_t*>(LockResource(LoadResource(loadedModule(), found)))
                 : nullptr;
}

#pragma pack(push, 2)
// An entry of an icon or cursor group as the resource stores it.
struct GroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupEntry) == 14);

struct Picture {
    int width, height, bits;
};

// Width, height and bits per pixel of every picture of an icon or cursor group.
// A cursor group counts the mask in the height, as the picture's header does.
std::vector<Picture> groupPictures(int id, LPCSTR type) {
    std::vector<Picture> pictures;
    const uint8_t* group = resourceBytes(id, type);
    if (!group)
        return pictures;
    WORD count;
    std::memcpy(&count, group + 4, 2);
    for (WORD index = 0; index < count; ++index) {
        GroupEntry entry;
        std::memcpy(&entry, group + 6 + index * sizeof(GroupEntry), sizeof entry);
        pictures.push_back({entry.width, entry.height, entry.bitCount});
    }
    return pictures;
}

bool operator==(const Picture& a, const Picture& b) {
    return a.width == b.width && a.height == b.height && a.bits == b.bits;
}

// Black (true) or white at a pixel of a bitmap of the module.
bool isBlackAt(int bitmapId, int x, int y) {
    HBITMAP bitmap = LoadBitmapA(loadedModule(), MAKEINTRESOURCEA(bitmapId));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return colour == RGB(0, 0, 0);
}
} // namespace

class ModuleImages : public testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(loadedModule(), nullptr) << builtModulePath(); }
};

TEST_F(ModuleImages, BitmapsAreSixteenPixelsSquareAtTheirDepths) {
    const std::pair<int, int> bitsById[] = {{113, 1}, {114, 1}, {115, 1}, {116, 4}, {117, 4}};
    for (const auto& [id, bits] : bitsById) {
        const uint8_t* bytes = resourceBytes(id, kBitmapType);
        ASSERT_NE(bytes, nullptr) << id;
        BITMAPINFOHEADER header;
        std::memcpy(&header, bytes, sizeof header);
        EXPECT_EQ(header.biWidth, 16) << id;
        EXPECT_EQ(header.biHeight, 16) << id;
        EXPECT_EQ(header.biBitCount, bits) << id;
        HBITMAP loaded = LoadBitmapA(loadedModule(), MAKEINTRESOURCEA(id));
        EXPECT_NE(loaded, nullptr) << id;
        DeleteObject(loaded);
    }
}

TEST_F(ModuleImages, BitmapsStandTheRightWayUp) {
    // The trash lid's left corner is black at the top, the body is narrower below.
    EXPECT_TRUE(isBlackAt(113, 2, 3));
    EXPECT_FALSE(isBlackAt(113, 2, 12));
    // The filled trash is black inside where the outline is white.
    EXPECT_FALSE(isBlackAt(113, 4, 8));
    EXPECT_TRUE(isBlackAt(114, 4, 8));
    // The bulb's ray points up, its screw base is below.
    EXPECT_TRUE(isBlackAt(115, 7, 1));
    EXPECT_TRUE(isBlackAt(115, 6, 13));
    EXPECT_FALSE(isBlackAt(115, 6, 2));
}

TEST_F(ModuleImages, IconGroupsHoldTheirPictures) {
    const Picture colour32{32, 32, 4}, mono32{32, 32, 1}, mono16x32{16, 32, 1};
    EXPECT_EQ(groupPictures(108, kIconGroupType),
              (std::vector<Picture>{colour32, mono32, mono16x32}));
    for (int id : {110, 111, 112, 113, 114}) {
        EXPECT_EQ(groupPictures(id, kIconGroupType), (std::vector<Picture>{colour32, mono32}))
            << id;
        EXPECT_NE(LoadIconA(loadedModule(), MAKEINTRESOURCEA(id)), nullptr) << id;
    }
}

TEST_F(ModuleImages, CursorsAreMonochromeWithTheHotSpotInTheBulb) {
    for (int id : {109, 110}) {
        SCOPED_TRACE(id);
        const std::vector<Picture> pictures = groupPictures(id, kCursorGroupType);
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_EQ(pictures[0].bits, 1);
        HCURSOR cursor = LoadCursorA(loadedModule(), MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 16u);
        EXPECT_EQ(info.yHotspot, 13u);
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        EXPECT_EQ(mask.bmHeight, 64); // a monochrome cursor: mask and picture stacked
        // The hot spot is on the white glass: opaque (mask 0) and white.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, info.hbmMask);
        EXPECT_EQ(GetPixel(dc, 16, 13), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, 16, 32 + 13), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255)); // the corner is transparent
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
}

TEST_F(ModuleImages, ContactSheetIsSaved) {
    constexpr int kScale = 4, kCell = 32 * kScale + 8;
    const int bitmaps[] = {113, 114, 115, 116, 117};
    const int icons[] = {108, 110, 111, 112, 113, 114};
    const int cursors[] = {109, 110};
    HDC screen = GetDC(nullptr);
    HDC sheet = CreateCompatibleDC(screen);
    const RECT area{0, 0, kCell * 7, kCell * 4};
    HBITMAP canvas = CreateCompatibleBitmap(screen, area.right, area.bottom);
    HGDIOBJ previousCanvas = SelectObject(sheet, canvas);
    FillRect(sheet, &area, GetSysColorBrush(COLOR_BTNFACE));
    HDC source = CreateCompatibleDC(screen);
    for (int index = 0; index < 5; ++index) {
        HBITMAP bitmap = LoadBitmapA(loadedModule(), MAKEINTRESOURCEA(bitmaps[index]));
        HGDIOBJ previous = SelectObject(source, bitmap);
        StretchBlt(sheet, index * kCell, 0, 16 * kScale, 16 * kScale, source, 0, 0, 16, 16,
                   SRCCOPY);
        SelectObject(source, previous);
        DeleteObject(bitmap);
    }
    for (int index = 0; index < 6; ++index) {
        HICON icon = LoadIconA(loadedModule(), MAKEINTRESOURCEA(icons[index]));
        DrawIconEx(sheet, index * kCell, kCell, icon, 32 * kScale, 32 * kScale, 0, nullptr,
                   DI_NORMAL);
    }
    // The black-and-white pictures, and the narrow one of the trash.
    for (int index = 0; index < 6; ++index) {
        auto icon = static_cast<HICON>(LoadImageA(loadedModule(), MAKEINTRESOURCEA(icons[index]),
                                                  IMAGE_ICON, 32, 32, LR_MONOCHROME));
        DrawIconEx(sheet, index * kCell, 2 * kCell, icon, 32 * kScale, 32 * kScale, 0, nullptr,
                   DI_NORMAL);
        DestroyIcon(icon);
    }
    auto narrow = static_cast<HICON>(
        LoadImageA(loadedModule(), MAKEINTRESOURCEA(108), IMAGE_ICON, 16, 32, LR_MONOCHROME));
    DrawIconEx(sheet, 6 * kCell, 2 * kCell, narrow, 16 * kScale, 32 * kScale, 0, nullptr,
               DI_NORMAL);
    DestroyIcon(narrow);
    for (int index = 0; index < 2; ++index) {
        HCURSOR cursor = LoadCursorA(loadedModule(), MAKEINTRESOURCEA(cursors[index]));
        DrawIconEx(sheet, index * kCell, 3 * kCell, cursor, 32 * kScale, 32 * kScale, 0, nullptr,
                   DI_NORMAL);
    }
    DeleteDC(source);
    EXPECT_TRUE(saveAreaAsPng(sheet, area, "images.png"));
    SelectObject(sheet, previousCanvas);
    DeleteObject(canvas);
    DeleteDC(sheet);
    ReleaseDC(nullptr, screen);
}
