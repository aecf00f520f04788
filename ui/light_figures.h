#pragma once
#include <windows.h>

#include "settings/settings.h"

// The lights drawn over the preview in the work area. The dot of a light is
// painted in its colour; every line, handle and outline is drawn inverting
// the pixels under it, so that drawing the same figure twice restores the
// picture. `ellipseTable` is the preview's table of 40 cosines and 40 sines.

// The light's dot: a 7 by 7 disc in its colour with a black edge.
void DrawLightDot(HDC dc, const LightSource& light);
// The selected light's figure: the circle of an omni light, the direction of
// a directional light, the direction and ellipse of a spot; then its dot, and
// its handles when asked for.
void DrawLightFigure(HDC dc, const LightSource& light, const float* ellipseTable, bool withHandles);
// What a drag shows: the figure's lines, with an inverted disc over the dot
// (always for a directional light) and inverted handles when asked for.
void DrawDragOutline(HDC dc, const LightSource& light, const float* ellipseTable, bool withDot,
                     bool withHandles);
// Every light's dot in index order, then the selected light's figure with its
// handles.
void DrawLights(HDC dc, const Settings& settings, const float* ellipseTable);
