#pragma once
#include <string>
#include <vector>

// The module's bitmaps, icons and cursors, each made of named pixel art from
// resources/art/*.art (see resources/art/README.md for how art is written).

enum class ImageKind { Bitmap, Icon, Cursor };
enum class ColourDepth { Monochrome, SixteenColours };

// One picture of a resource: art layers drawn one over the other (a layer's
// transparent pixels let the earlier layers show) at one colour depth.
struct ImageVariant {
    std::vector<std::string> layers;
    ColourDepth depth;
};

struct ImageResource {
    ImageKind kind;
    int id;
    std::vector<ImageVariant> variants; // a bitmap or cursor has exactly one
    int hotSpotX = 0, hotSpotY = 0;     // cursors only
};

const std::vector<ImageResource>& orvaneImages();
