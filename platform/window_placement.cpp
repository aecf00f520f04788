#include "platform/window_placement.h"

#include <algorithm>

namespace {
// The start of a span of `length` moved inside [low, high); a span too long
// for it starts at `low`.
int startInside(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}
} // namespace

ScreenRect keptInside(const ScreenRect& window, const ScreenRect& workArea) {
    const int left = startInside(window.left, window.width(), workArea.left, workArea.right);
    const int top = startInside(window.top, window.height(), workArea.top, workArea.bottom);
    return {left, top, left + window.width(), top + window.height()};
}

ScreenRect placeCentredInside(int width, int height, const ScreenRect& owner,
                              const ScreenRect& workArea) {
    const int left = (owner.left + owner.right) / 2 - width / 2;
    const int top = (owner.top + owner.bottom) / 2 - height / 2;
    return keptInside({left, top, left + width, top + height}, workArea);
}
