#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The module's dialog templates. Rectangles are in dialog units; texts are
// UTF-8 here. System controls name their class in capitals ("BUTTON",
// "EDIT", "STATIC", "COMBOBOX"); the plug-in's own classes keep their exact
// names.

// A control's place in its dialog, in dialog units.
struct DialogRect {
    int x, y, width, height;
};

// The main dialog's work area and the preview placeholder inside it: the
// layout of the preview is measured from them at the base units of 96 DPI.
constexpr DialogRect kWorkAreaRect{4, 9, 144, 190};
constexpr DialogRect kPreviewPlaceholderRect{27, 30, 100, 156};

struct DialogControl {
    int id; // -1 for a text that is never addressed
    std::string className;
    std::string text;
    int x, y, width, height;
    uint32_t style; // WS_CHILD and WS_VISIBLE included
};

struct DialogDescription {
    int id;
    uint32_t style;
    std::string caption;
    int x, y, width, height;
    int pointSize;
    std::string font;
    std::vector<DialogControl> controls;
};

const std::vector<DialogDescription>& orvaneDialogs();
