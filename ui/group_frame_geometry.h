#pragma once
#include <vector>

// The etched frame around a group of controls, as lines drawn with two pens:
// a dark line with a light line beside it. The top edge leaves a gap from gapLeft
// to gapRight for the group's title.
struct FramePoint {
    int x, y;
};

// One MoveToEx followed by LineTo through the rest.
using FrameStroke = std::vector<FramePoint>;

struct EtchedFrame {
    std::vector<FrameStroke> dark;
    std::vector<FrameStroke> light;
};

struct FrameBounds {
    int left, top, right, bottom;
};

EtchedFrame etchedFrame(const FrameBounds& client, int gapLeft, int gapRight);
