#pragma once
#include "protocol/host_record.h"

// The walk over the filtered area in square tiles, left to right, then top to
// bottom. Pure rectangle arithmetic; the run applies it to the host record.

// The first tile at the area's top-left, clamped to the area.
Rect16 firstTile(const Rect16& area, int tileSize);
// Moves `tile` to the next tile. At the end it becomes empty (left = right,
// top = bottom) and the result is false.
bool advanceTile(Rect16& tile, const Rect16& area, int tileSize);
// The edge of the preview's tiles: whole sampling steps, so that tiles start
// on the preview's grid, as many as fit in 64 pixels but at least one, so that
// an image sampled more coarsely than every 64th pixel is still walked.
int previewTileSize(int previewStep);
// Number of progress steps of a render walk: one more per direction than the
// whole tiles, also when the size is a multiple of 64.
int renderTileCount(const Rect16& area);
Rect16 grown(const Rect16& rect, int margin);
