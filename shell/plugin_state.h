#pragma once
#include <cstddef>
#include <cstdint>

#include "lighting/light_source.h"
#include "lighting/shading_scratch.h"
#include "protocol/host_record.h"
#include "protocol/image_record.h"

struct ThreadSet;

// The relief heights of the current tile (or of the preview).
struct HeightMapRecord {
    uint32_t capacity = 0; // bytes available in map
    int32_t* map = nullptr;
    uint32_t rowBytes = 0;
    uint32_t width = 0; // elements per row
    int32_t scale = 0;  // signed relief value used for this map
};

enum SummedCache {
    CachePositions,
    CacheDiffuse,
    CacheSpecular,
    CacheNormals, // the last four slots are never filled: the preview rebuilds
    CacheWeights, // those arrays per row in the scratch area
    CacheColours,
    CacheRowSamples,
    kSummedCacheCount
};

constexpr int kMaxLights = 16;
constexpr uint32_t kInitialHeightMapBytes = 17424; // 66 x 66 elements

// The plug-in's own object, kept in the host's data slot between calls.
struct PluginState {
    PluginState();
    ~PluginState();
    PluginState(const PluginState&) = delete;
    PluginState& operator=(const PluginState&) = delete;

    // Material settings (slider positions 0..256; ambience is position - 127).
    uint16_t ambientColor[3] = {65535, 65535, 65535};
    int16_t material = 0;
    int16_t gloss = 128;
    int16_t exposure = 128;
    int16_t ambience = 16;
    int16_t reliefAmount = 128;
    uint32_t whiteIsHigh = 1;

    // Run flags.
    uint32_t showDialog = 0;
    uint32_t previewImageReady = 0;
    uint32_t previewOn = 1;

    // Preview geometry, in preview pixels.
    uint16_t previewStep = 1;
    int16_t previewLeft = 0, previewTop = 0;
    int16_t previewImageWidth = 0, previewImageHeight = 0;
    ImageRecord resultImage{};  // what the work area shows; carries the mask
    ImageRecord sourceImage{};  // the image sampled every previewStep pixels
    ImageRecord textureImage{}; // the texture channel, with a 3-sample border
    uint32_t resultOwnsMask = 0;

    uint16_t tileSize = 64;
    HostRecord* host = nullptr;
    ThreadSet* threads = nullptr;

    uint16_t lightCount = 0;
    uint16_t currentLight = 0;
    PointU16 frameCenter;
    PointU16 frameCorner;
    float imageWidthRatio = 0;
    bool imageWidthRatioSet = false; // until a script gives one, the preview's ratio serves
    // The last render lit the lights from their percent geometry (a script
    // without the dialog), not from their preview pixels.
    bool litFromPercent = false;

    uint16_t tileCount = 0;
    uint16_t tilesDone = 0;

    float ellipseTable[80] = {}; // 40 cosines, then 40 sines, of 0, 9, ... 351 degrees

    void* dialogObjects[7] = {}; // dialog window, four icons, two fonts (while the dialog exists)

    LightSource lights[kMaxLights];

    alignas(16) uint8_t scratchArea[kScratchAreaBytes];

    uint32_t textureTilePending = 0;
    HeightMapRecord heightMap;
    uint16_t textureChannel = 0;
    CacheSlot summedCaches[kSummedCacheCount];
    size_t summedCacheSamples = 0; // what the present preview cache buffers were made for
    uint32_t settingsValid = 0;
    uint16_t styleIndex = 0;

    // Frame size in preview pixels: twice the half frame, in 16 bits.
    uint16_t halfFrame() const { return uint16_t(frameCenter.x - frameCorner.x); }
    uint16_t frameSize() const { return uint16_t(2 * halfFrame()); }

    // Light and material operations.
    void invalidateSummedCaches();
    void invalidateAll();
    void releaseAll();
    void setReliefAmount(int16_t amount);
    void setWhiteIsHigh(uint32_t whiteIsHigh);
    void setTextureChannel(uint16_t channel);
    void resetToDefaultStyle();
    void addLightAt(int16_t x, int16_t y);
    void copySettings(const PluginState& from);
    void computeEllipseTable();
};
