#pragma once

// Every resource ID of the module: the resource tables, the user interface and
// the host all name resources through these.

// The host's own resources.
constexpr int kPropertyListResource = 16000; // type "PIPL"
constexpr int kTerminologyResource = 128;    // type "AETE"

// Dialogs.
constexpr int kDialogAbout = 101;
constexpr int kDialogMain = 102;
constexpr int kDialogColourPicker = 106;
constexpr int kDialogStyleName = 107;

// Controls of the main dialog.
constexpr int kControlOk = 1007;
constexpr int kControlCancel = 1008;
constexpr int kControlStyleLabel = 1050;
constexpr int kControlStyleList = 1004;
constexpr int kControlSaveStyle = 1002;
constexpr int kControlDeleteStyle = 1011;
constexpr int kControlTypeLabel = 1046;
constexpr int kControlLightType = 1006;
constexpr int kControlLightOn = 1021;
constexpr int kControlIntensity = 1030;
constexpr int kControlFocus = 1031;
constexpr int kControlLightColour = 1032;
constexpr int kControlPropertiesLabel = 1049;
constexpr int kControlGloss = 1027;
constexpr int kControlMaterial = 1028;
constexpr int kControlExposure = 1026;
constexpr int kControlAmbience = 1029;
constexpr int kControlAmbientColour = 1025;
constexpr int kControlTextureLabel = 1051;
constexpr int kControlTextureChannel = 1005;
constexpr int kControlWhiteIsHigh = 1019;
constexpr int kControlRelief = 1020;
constexpr int kControlWorkArea = 1009;
constexpr int kControlPreviewPlaceholder = 1010;
constexpr int kControlLightWell = 1056;
constexpr int kControlTrash = 1057;
constexpr int kControlPreviewOn = 1058;
constexpr int kControlStyleFrame = 1052;
constexpr int kControlLightFrame = 1053;
constexpr int kControlMaterialFrame = 1054;
constexpr int kControlTextureFrame = 1055;

// Controls of the style name dialog.
constexpr int kControlStyleNameOk = 1036;
constexpr int kControlStyleNameCancel = 1037;
constexpr int kControlStyleName = 1035;

// Strings.
constexpr int kStringErrorTitle = 1;
constexpr int kStringHostTooOld = 2;
constexpr int kStringTextureNone = 3;
// The light types' names are in the light type table (settings/light_type.h).
constexpr int kStringStyleFolderName = 25; // "Lighting Styles"
constexpr int kStringAlertTitle = 21;
constexpr int kStringOnlyLightAlert = 22; // the only light cannot be removed
// The sliders' end labels: the left one, the right one under the next ID.
constexpr int kStringReliefEnds = 7;
constexpr int kStringGlossEnds = 9;
constexpr int kStringMaterialEnds = 11;
constexpr int kStringExposureEnds = 13;
constexpr int kStringAmbienceEnds = 15;
constexpr int kStringIntensityEnds = 17;
constexpr int kStringFocusEnds = 19;
constexpr int kStringSaveErrorTitle = 26;
constexpr int kStringSaveError = 27;
constexpr int kStringLoadErrorTitle = 28;
constexpr int kStringLoadError = 29;
constexpr int kStringDefaultStyleName = 30;
constexpr int kStringReplaceQuestion = 31; // follows the style's name
constexpr int kStringSaveTitle = 32;
constexpr int kStringDeleteQuestion = 33; // the style's name follows
constexpr int kStringDeleteTitle = 34;
constexpr int kStringAmbientColourPrompt = 35;
constexpr int kStringLightColourPrompt = 36;
constexpr int kStringSaveProtectedTitle = 37;
constexpr int kStringSaveProtected = 38; // then the name, then the next string
constexpr int kStringSaveProtectedEnd = 39;
constexpr int kStringDeleteProtectedTitle = 40;
constexpr int kStringDeleteProtected = 41; // then the name, then the next string
constexpr int kStringDeleteProtectedEnd = 42;
constexpr int kStringModuleName = 1000;
constexpr int kStringUndo = 19001;
constexpr int kStringRedo = 19002;

// Bitmaps.
constexpr int kBitmapTrashEmpty = 113;
constexpr int kBitmapTrashFull = 114;
constexpr int kBitmapBulbLit = 115;
constexpr int kBitmapEmptySquare = 116;
constexpr int kBitmapBulbGrey = 117;

// Icons.
constexpr int kIconTrash = 108;
constexpr int kIconBulbLit = 110;
constexpr int kIconEmptySquare = 111;
constexpr int kIconBulbGrey = 112;
constexpr int kIconFramedBulbGrey = 113;
constexpr int kIconFramedBulbLit = 114;

// Cursors.
constexpr int kCursorBulbSmall = 109;
constexpr int kCursorBulbLarge = 110;
