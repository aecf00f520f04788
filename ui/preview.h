#pragma once
#include <cstddef>
#include <cstdint>

#include "lighting/height_map.h"
#include "lighting/shading_scratch.h"
#include "platform/checked_alloc.h"
#include "protocol/image_record.h"
#include "settings/settings.h"

// One cache buffer and whether what it holds is still good.
struct CacheSlot {
    CheckedBuffer buffer;
    bool valid = false;
};

// The preview's caches of the untextured and textured renders.
enum SummedCache { CachePositions, CacheDiffuse, CacheSpecular, kSummedCacheCount };

// What the dialog shows: the preview's geometry, its images and the caches
// that let a redraw skip work. It owns its buffers.
struct Preview {
    Preview();
    ~Preview();
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // Geometry, in preview pixels.
    uint16_t step = 1; // the image is sampled every step pixels
    int16_t left = 0, top = 0;
    int16_t width = 0, height = 0;
    ImageRecord resultImage{};  // what the work area shows; carries the mask
    ImageRecord sourceImage{};  // the image sampled every step pixels
    ImageRecord textureImage{}; // the texture channel, with a 3-sample border
    bool resultOwnsMask = false;
    // The relief heights: the preview's, and while the image renders those
    // of the current tile (one buffer serves both).
    HeightMapRecord heightMap;

    CacheSlot summedCaches[kSummedCacheCount];
    size_t summedCacheSamples = 0; // what the present cache buffers were made for
    // Each light's own diffuse and specular caches.
    CacheSlot lightCaches[kMaxLights][2];

    float ellipseTable[80]; // 40 cosines, then 40 sines, of 0, 9, ... 351 degrees
    // The working arrays of the single-threaded preview render.
    alignas(16) uint8_t scratchArea[kScratchAreaBytes];

    // What a change of the settings does to the caches. A light's geometry,
    // colour or type: the sums and that light's caches go stale. The relief
    // amount, white-is-high or another texture channel: every cache goes
    // stale. Relief switched on or off: the number of samples per pixel
    // changes, so the buffers go.
    void lightChanged(int index);
    void everythingChanged();
    void textureChannelChanged(uint16_t from, uint16_t to);
    // Light `index` of `count` was removed: its caches go, the later lights'
    // caches move down a slot with their lights, and the sums go stale.
    void lightRemoved(int index, int count);
    // Frees every cache buffer.
    void releaseCaches();
    // Frees the images, the mask and the height map.
    void releaseImages();
};

// The relief settings changed with what each change does to the caches; a
// value that does not change leaves them alone.
void setReliefAmount(Settings& settings, Preview& preview, int16_t amount);
void setWhiteIsHigh(Settings& settings, Preview& preview, bool whiteIsHigh);
void setTextureChannel(Settings& settings, Preview& preview, uint16_t channel);
