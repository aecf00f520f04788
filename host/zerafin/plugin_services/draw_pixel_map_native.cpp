#include "host/zerafin/plugin_services/draw_pixel_map.h"

// The native host shows no windows; there is nothing to draw into.
int16_t drawPixelMapCallback(const ImageRecord*, const Rect16*, int32_t, int32_t, void*) {
    return 0;
}
