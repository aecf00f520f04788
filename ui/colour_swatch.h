#pragma once
#include <windows.h>

#include <cstdint>

// A colour swatch in an owner-drawn button: a black frame filled with the colour.
void DrawColorSwatch(HDC dc, const RECT& item, const uint16_t colour[3]);
