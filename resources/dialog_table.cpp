#include "resources/dialog_table.h"

#include "resources/resource_ids.h"
#include "resources/window_styles.h"

using namespace style;

namespace {
constexpr int kUnaddressed = -1;

using Rect = DialogRect;

DialogControl control(int id, const char* className, const char* text, Rect rect,
                      uint32_t controlStyle) {
    return {id,     className,  text,        rect.x,
            rect.y, rect.width, rect.height, kChild | kVisible | controlStyle};
}

DialogControl leftText(int id, const char* text, Rect rect) {
    return control(id, "STATIC", text, rect, kLeftText | kGroup);
}
DialogControl centredText(const char* text, Rect rect) {
    return control(kUnaddressed, "STATIC", text, rect, kCentredText | kGroup);
}
DialogControl blackFrame(int id, Rect rect, uint32_t extra) {
    return control(id, "STATIC", "", rect, kBlackFrame | extra);
}
DialogControl button(int id, const char* text, Rect rect, uint32_t extra = 0) {
    return control(id, "BUTTON", text, rect, kPushButton | kTabStop | extra);
}
DialogControl defaultButton(int id, const char* text, Rect rect, uint32_t extra = 0) {
    return control(id, "BUTTON", text, rect, kDefaultPushButton | kTabStop | extra);
}
DialogControl checkBox(int id, const char* text, Rect rect) {
    return control(id, "BUTTON", text, rect, kAutoCheckBox | kTabStop);
}
DialogControl colourSwatch(int id, Rect rect) {
    return control(id, "BUTTON", "Couleur", rect, kOwnerDrawn | kTabStop);
}
DialogControl dropDownList(int id, Rect rect) {
    return control(id, "COMBOBOX", "", rect, kDropDownList | kVerticalScroll | kTabStop);
}
DialogControl edit(int id, Rect rect, uint32_t extra) {
    return control(id, "EDIT", "", rect, kBorder | kTabStop | extra);
}
DialogControl slider(int id, const char* label, Rect rect) {
    return control(id, "VR_slider_control_window", label, rect, kTabStop);
}
// Frames and the preview placeholder never take the mouse.
DialogControl groupFrame(int id, const char* text, Rect rect) {
    return control(id, "VR_group_box_window", text, rect, kDisabled);
}

constexpr uint32_t kCaptionedDialog = kModalFrame | kPopup | kCaption | kSystemMenu;

// Every dialog of the module uses the same font.
DialogDescription dialog(int id, uint32_t dialogStyle, const char* caption, Rect rect,
                         std::vector<DialogControl> controls) {
    return {id,         dialogStyle, caption, rect.x,          rect.y,
            rect.width, rect.height, 8,       "MS Sans Serif", std::move(controls)};
}

// The about box: a popup without caption that a click, Enter or command 1
// closes.
DialogDescription aboutBox() {
    return dialog(kDialogAbout, kModalFrame | kPopup | kVisible, "", {0, 0, 137, 118},
                  {
                      centredText("Orvane", {14, 12, 99, 8}),
                      centredText("v5.0", {14, 21, 99, 8}),
                      centredText("par", {14, 28, 99, 8}),
                      centredText("l'atelier de rendu Halvorn", {14, 37, 99, 8}),
                      centredText("et l'équipe Orvane", {14, 44, 99, 8}),
                      centredText("Module filtre Halvorn Zerafin® permettant d'appliquer des "
                                  "orvanes et des textures.",
                                  {14, 62, 99, 34}),
                      centredText("Tous droits réservés.", {14, 102, 99, 8}),
                  });
}

DialogDescription mainDialog() {
    return dialog(
        kDialogMain, kCaptionedDialog, "Orvane", {0, 0, 336, 215},
        {
            defaultButton(kControlOk, "OK", {294, 3, 34, 14}),
            button(kControlCancel, "Annuler", {294, 20, 34, 14}),
            leftText(kControlStyleLabel, "Style :", {156, 4, 20, 8}),
            dropDownList(kControlStyleList, {177, 2, 92, 96}),
            button(kControlSaveStyle, "Enregistrer...", {161, 18, 42, 11}),
            button(kControlDeleteStyle, "Supprimer", {227, 18, 41, 11}),
            leftText(kControlTypeLabel, "Type :", {157, 40, 36, 8}),
            dropDownList(kControlLightType, {194, 37, 80, 40}),
            checkBox(kControlLightOn, "Activé", {157, 51, 40, 10}),
            slider(kControlIntensity, "Intensité :", {157, 63, 138, 12}),
            slider(kControlFocus, "Cône :", {157, 78, 138, 12}),
            colourSwatch(kControlLightColour, {302, 57, 24, 24}),
            leftText(kControlPropertiesLabel, "Propriétés", {157, 96, 35, 8}),
            slider(kControlGloss, "Brillance :", {157, 107, 138, 12}),
            slider(kControlMaterial, "Matière :", {157, 122, 138, 12}),
            slider(kControlExposure, "Exposition:", {157, 138, 138, 12}),
            slider(kControlAmbience, "Ambiance :", {157, 154, 138, 12}),
            colourSwatch(kControlAmbientColour, {302, 122, 24, 24}),
            leftText(kControlTextureLabel, "Texture :", {157, 174, 58, 8}),
            dropDownList(kControlTextureChannel, {217, 171, 78, 52}),
            checkBox(kControlWhiteIsHigh, "Blanc = haut", {158, 186, 56, 10}),
            slider(kControlRelief, "Relief :", {158, 196, 163, 12}),
            control(kControlWorkArea, "VR_work_area_window", "Utilisateur3", kWorkAreaRect,
                    kTabStop),
            control(kControlPreviewPlaceholder, "VR_preview_area_window", "Utilisateur4",
                    kPreviewPlaceholderRect, kDisabled),
            control(kControlLightWell, "VR_light_well", "Utilisateur1", {70, 201, 12, 12}, 0),
            control(kControlTrash, "VR_trash_window", "Utilisateur1", {136, 201, 12, 12}, 0),
            checkBox(kControlPreviewOn, "&Aperçu", {6, 202, 40, 10}),
            groupFrame(kControlStyleFrame, "Utilisateur1", {151, 9, 133, 26}),
            groupFrame(kControlLightFrame, "Utilisateur1", {151, 44, 180, 50}),
            groupFrame(kControlMaterialFrame, "Utilisateur2", {151, 100, 180, 69}),
            groupFrame(kControlTextureFrame, "Utilisateur3", {150, 178, 180, 34}),
        });
}

// The system colour dialog in French, with the system's own control IDs; the
// solid-colour button 713 lies outside the dialog on purpose. The hue,
// saturation and luminosity labels and the six number fields are wide enough
// for "Teinte :" and "255" in the dialog's font.
DialogDescription colourPicker() {
    return dialog(
        kDialogColourPicker, kCaptionedDialog, "Couleur", {0, 0, 298, 184},
        {
            leftText(kUnaddressed, "Couleurs de &base :", {4, 4, 140, 9}),
            blackFrame(720, {4, 14, 140, 86}, kTabStop | kGroup),
            leftText(kUnaddressed, "Couleurs perso&nnalisées :", {4, 106, 140, 9}),
            blackFrame(721, {4, 116, 140, 28}, kTabStop | kGroup),
            button(719, "&Définir les couleurs personnalisées...", {4, 150, 140, 14}, kGroup),
            defaultButton(1, "OK", {4, 166, 44, 14}, kGroup),
            button(2, "Annuler", {52, 166, 44, 14}, kGroup),
            button(1038, "&Aide", {100, 166, 44, 14}, kGroup),
            blackFrame(710, {152, 4, 118, 116}, kTabStop | kGroup),
            blackFrame(702, {280, 4, 8, 116}, kTabStop | kGroup),
            blackFrame(709, {152, 124, 40, 26}, kGroup),
            control(kUnaddressed, "STATIC", "Couleur|", {146, 151, 28, 9}, kRightText | kGroup),
            leftText(kUnaddressed, "&Uni", {177, 151, 15, 9}),
            button(713, "&u", {300, 200, 4, 14}, kGroup),
            leftText(723, "&Teinte :", {192, 126, 24, 9}),
            edit(703, {216, 124, 22, 12}, kGroup),
            leftText(724, "&Sat. :", {192, 140, 24, 9}),
            edit(704, {216, 138, 22, 12}, kGroup),
            leftText(725, "&Lum. :", {192, 154, 24, 9}),
            edit(705, {216, 152, 22, 12}, kGroup),
            leftText(726, "&Rouge :", {241, 126, 26, 9}),
            edit(706, {269, 124, 22, 12}, kGroup),
            leftText(727, "&Vert :", {243, 140, 24, 9}),
            edit(707, {269, 138, 22, 12}, kGroup),
            leftText(728, "Bl&eu :", {243, 154, 24, 9}),
            edit(708, {269, 152, 22, 12}, kGroup),
            button(712, "Aj&outer la couleur", {152, 166, 142, 14}, kGroup),
        });
}

// The style name dialog of "Enregistrer...".
DialogDescription styleNameDialog() {
    return dialog(kDialogStyleName, kCaptionedDialog, "Enregistrer sous...", {0, 0, 183, 42},
                  {
                      defaultButton(kControlStyleNameOk, "OK", {128, 4, 50, 14}),
                      button(kControlStyleNameCancel, "Annuler", {128, 20, 50, 14}),
                      leftText(kUnaddressed, "Nom du style :", {12, 8, 60, 8}),
                      edit(kControlStyleName, {12, 20, 108, 13}, kAutoHorizontalScroll),
                  });
}
} // namespace

const std::vector<DialogDescription>& orvaneDialogs() {
    static const std::vector<DialogDescription> dialogs{aboutBox(), mainDialog(), colourPicker(),
                                                        styleNameDialog()};
    return dialogs;
}
