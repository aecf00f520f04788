#pragma once
#include <cstdint>

#include "settings/light_source.h"

// Everything the user sets: the material, the relief and up to sixteen lights,
// with the frame their geometry refers to. A plain value: copying it keeps a
// copy (the dialog's cancel keeps one).
struct Settings {
    // The settings table's defaults, and no light yet.
    Settings();

    // Material settings (stored values; see the settings table for their
    // slider positions).
    uint16_t ambientColor[3] = {65535, 65535, 65535};
    int16_t material;
    int16_t gloss;
    int16_t exposure;
    int16_t ambience;
    int16_t reliefAmount;
    bool whiteIsHigh = true;
    uint16_t textureChannel = 0; // 0: no relief; otherwise the document's channel, 1-based

    uint16_t lightCount = 0;
    uint16_t currentLight = 0;
    LightSource lights[kMaxLights];

    // The frame the lights' pixel geometry refers to, in preview pixels.
    PointU16 frameCenter;
    PointU16 frameCorner;
    float imageWidthRatio = 0;
    bool imageWidthRatioSet = false; // until a script gives one, the preview's ratio serves

    // Frame size in preview pixels: twice the half frame, in 16 bits.
    uint16_t halfFrame() const { return uint16_t(frameCenter.x - frameCorner.x); }
    uint16_t frameSize() const { return uint16_t(2 * halfFrame()); }

    // The default style: the table's material and one yellow spot at the
    // frame centre.
    void resetToDefaultStyle();
    // A new light at (x, y) in preview pixels, made the current one. False,
    // and nothing changed, when all sixteen are in use.
    bool addLightAt(int16_t x, int16_t y);
    // A copy of the current light (its colour, intensity, focus, type, axes and
    // radius, switched on) at (x, y), made the current one. False, and nothing
    // changed, when all sixteen are in use.
    bool DuplicateLight(int16_t x, int16_t y);
    // Removes the current light; the later ones move down a slot, keeping their
    // order, and light 0 becomes the current one. False, and nothing changed,
    // for the only light.
    bool DeleteSelectedLight();

  private:
    // The model light at (x, y) in the next free slot, made the current one.
    bool duplicateAt(const LightSource& model, int16_t x, int16_t y);
};
