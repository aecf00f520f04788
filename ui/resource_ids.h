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

// Main dialog controls.
constexpr int kControlSave = 1002;
constexpr int kControlStyleCombo = 1004;
constexpr int kControlTextureCombo = 1005;
constexpr int kControlTypeCombo = 1006;
constexpr int kControlOk = 1007;
constexpr int kControlCancel = 1008;
constexpr int kControlDelete = 1011;
constexpr int kControlWhiteIsHigh = 1019;
constexpr int kControlRelief = 1020;
constexpr int kControlLightOn = 1021;
constexpr int kControlAmbientColour = 1025;
constexpr int kControlExposure = 1026;
constexpr int kControlGloss = 1027;
constexpr int kControlMaterial = 1028;
constexpr int kControlAmbience = 1029;
constexpr int kControlIntensity = 1030;
constexpr int kControlCone = 1031;
constexpr int kControlLightColour = 1032;
constexpr int kControlTypeLabel = 1046;
constexpr int kControlPropertiesTitle = 1049;
constexpr int kControlStyleLabel = 1050;
constexpr int kControlTextureLabel = 1051;
constexpr int kControlStyleFrame = 1052;
constexpr int kControlLightFrame = 1053;
constexpr int kControlMaterialFrame = 1054;
constexpr int kControlTextureFrame = 1055;
constexpr int kControlLightWell = 1056;
constexpr int kControlTrash = 1057;
constexpr int kControlPreviewOn = 1058;

// Style name dialog controls.
constexpr int kControlStyleNameEdit = 1035;
constexpr int kControlStyleNameOk = 1036;
constexpr int kControlStyleNameCancel = 1037;

// Icons the main dialog loads, in this order.
constexpr int kIconsOfMainDialog[] = {110, 112, 111, 108};

// Strings.
constexpr int kStringNoTexture = 3;
constexpr int kStringFirstLightType = 4; // then 5 and 6, the type combo's rows
constexpr int kStringSaveErrorTitle = 26;
constexpr int kStringSaveError = 27;
constexpr int kStringLoadErrorTitle = 28;
constexpr int kStringLoadError = 29;
constexpr int kStringDefaultStyle = 30;
constexpr int kStringReplaceQuestion = 31;
constexpr int kStringSaveTitle = 32;
constexpr int kStringDeleteQuestion = 33;
constexpr int kStringDeleteTitle = 34;
constexpr int kStringAmbientColourPrompt = 35;
constexpr int kStringLightColourPrompt = 36;
constexpr int kStringSaveProtectedTitle = 37;
constexpr int kStringSaveProtected = 38;
constexpr int kStringSaveProtectedEnd = 39;
constexpr int kStringDeleteProtectedTitle = 40;
constexpr int kStringDeleteProtected = 41;
constexpr int kStringDeleteProtectedEnd = 42;
