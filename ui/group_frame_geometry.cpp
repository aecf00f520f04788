#include "ui/group_frame_geometry.h"

EtchedFrame etchedFrame(const FrameBounds& c, int gapLeft, int gapRight) {
    EtchedFrame frame;
    frame.dark.push_back({{gapLeft, c.top},
                          {c.left, c.top},
                          {c.left, c.bottom - 2},
                          {c.right - 2, c.bottom - 2},
                          {c.right - 2, c.top},
                          {gapRight, c.top}});
    frame.light.push_back(
        {{gapLeft, c.top + 1}, {c.left + 1, c.top + 1}, {c.left + 1, c.bottom - 3}});
    frame.light.push_back(
        {{c.left, c.bottom - 1}, {c.right - 1, c.bottom - 1}, {c.right - 1, c.top}});
    frame.light.push_back({{c.right - 3, c.top + 1}, {gapRight, c.top + 1}});
    return frame;
}
