#pragma once

// Resource and control IDs of the module.
constexpr int kPropertyListResource = 16000; // type "PIPL"
constexpr int kTerminologyResource = 128;    // type "AETE"

constexpr int kDialogAbout = 101;
constexpr int kDialogMain = 102;
constexpr int kDialogColourPicker = 106;
constexpr int kDialogStyleName = 107;

constexpr int kControlWorkArea = 1009;
constexpr int kControlPreviewPlaceholder = 1010;
