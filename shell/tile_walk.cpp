#include "shell/tile_walk.h"

#include <algorithm>

Rect16 firstTile(const Rect16& area, int tileSize) {
    return Rect16{area.top, area.left, int16_t(std::min(area.top + tileSize, int(area.bottom))),
                  int16_t(std::min(area.left + tileSize, int(area.right)))};
}

bool advanceTile(Rect16& tile, const Rect16& area, int tileSize) {
    if (tile.right != area.right) {
        tile.left = tile.right;
        tile.right = int16_t(std::min(tile.left + tileSize, int(area.right)));
        return true;
    }
    if (tile.bottom != area.bottom) {
        tile.left = area.left;
        tile.right = int16_t(std::min(tile.left + tileSize, int(area.right)));
        tile.top = tile.bottom;
        tile.bottom = int16_t(std::min(tile.top + tileSize, int(area.bottom)));
        return true;
    }
    tile.left = tile.right;
    tile.top = tile.bottom;
    return false;
}

int previewTileSize(int previewStep) {
    return std::max(1, 64 / previewStep) * previewStep;
}

int renderTileCount(const Rect16& area) {
    return (area.width() / 64 + 1) * (area.height() / 64 + 1);
}

Rect16 grown(const Rect16& rect, int margin) {
    return Rect16{int16_t(rect.top - margin), int16_t(rect.left - margin),
                  int16_t(rect.bottom + margin), int16_t(rect.right + margin)};
}
