#pragma once
#include <cstdint>

// The window style bits that the dialog templates use, with their Win32 values
// (the resource generator runs where <windows.h> is not available).
namespace style {
constexpr uint32_t kPopup = 0x80000000;
constexpr uint32_t kChild = 0x40000000;
constexpr uint32_t kVisible = 0x10000000;
constexpr uint32_t kDisabled = 0x08000000;
constexpr uint32_t kCaption = 0x00C00000;
constexpr uint32_t kBorder = 0x00800000;
constexpr uint32_t kVerticalScroll = 0x00200000;
constexpr uint32_t kSystemMenu = 0x00080000;
constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kTabStop = 0x00010000;

constexpr uint32_t kModalFrame = 0x80; // dialog
constexpr uint32_t kSetFont = 0x40;    // dialog: the template names its font
constexpr uint32_t kPushButton = 0x0;  // button
constexpr uint32_t kDefaultPushButton = 0x1;
constexpr uint32_t kAutoCheckBox = 0x3;
constexpr uint32_t kOwnerDrawn = 0xB;
constexpr uint32_t kLeftText = 0x0; // static
constexpr uint32_t kCentredText = 0x1;
constexpr uint32_t kRightText = 0x2;
constexpr uint32_t kBlackFrame = 0x7;
constexpr uint32_t kDropDownList = 0x3;          // combo box
constexpr uint32_t kAutoHorizontalScroll = 0x80; // edit
} // namespace style
