#pragma once
#include <cstdint>

// Where the parts of a settings slider sit, in the slider window's pixels. The
// label takes the left, the track runs from trackLeft to trackRight at
// trackY, and the thumb hangs under the track from thumbTop.
struct SliderGeometry {
    int16_t trackLeft, trackRight;
    int16_t trackY;
    int16_t thumbTop;
};

// The track lies at least `textHeight` down, under the end labels and the
// number written from the top.
SliderGeometry sliderGeometry(int16_t width, int16_t height, int16_t labelWidth,
                              int16_t textHeight = 0);

struct SliderRange {
    int16_t minimum, maximum;
};

// The thumb's x for a value. A track with no length (a window too narrow for
// it) or an empty range puts the thumb at the track's left end.
int16_t thumbXForValue(const SliderGeometry& g, SliderRange range, int16_t value);
// The value under x, x kept on the track: the minimum at its left end and the
// maximum at its right end.
int16_t valueForX(const SliderGeometry& g, SliderRange range, int x);
// The value a settings slider (0..256) rests on when the mouse is over
// `value`: the position that the number it shows reads back as. A script
// records the number, not the position, and 257 positions share 201 numbers
// (101 in percent mode); resting only where the number leads back, every value
// the user sets is recorded exactly, and the number shown stays the same.
int16_t restingValue(int16_t value, bool percent);
// A press that starts a drag: on the track's width, level with it or below.
bool isInThumbZone(const SliderGeometry& g, int x, int y);

// The number written above the track for a position 0..256: the percentage a
// script records for it, 0 to 100 in percent mode, -100 to 100 otherwise.
int16_t shownNumber(int16_t value, bool percent);
