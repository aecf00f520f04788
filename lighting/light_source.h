#pragma once
#include <cstdint>

#include "lighting/render_light.h"

struct PluginState;

struct Point16 {
    int16_t x = 0, y = 0;
};
struct PointU16 {
    uint16_t x = 0, y = 0;
};
struct PointF {
    float x = 0, y = 0;
};

// One of the reserved per-light (and per-state) cache slots: a buffer and a
// valid flag.
struct CacheSlot {
    void* buffer = nullptr;
    uint32_t valid = 0;
};

// One light as the user edits it. Geometry is kept in preview pixels relative to
// the frame centre, and in percent of the frame when it arrives from a script.
class LightSource {
  public:
    LightSource();
    ~LightSource();
    LightSource(const LightSource&) = delete;
    LightSource& operator=(const LightSource&) = delete;

    // Copies every setting of another light; the cache slots stay this light's own.
    void copySettingsFrom(const LightSource& other);

    // Marks the owner's summed caches and this light's own caches invalid.
    void invalidate();
    // Frees the light's cache buffers.
    void releaseCaches();
    // Makes vector1 perpendicular to vector0 and never longer (spots only).
    void setSpotAxes();

    uint32_t type;
    Point16 position;
    PointU16 origin;
    Point16 vector0;
    Point16 vector1;
    int16_t radius;
    uint16_t color[3];
    int16_t intensity;
    int16_t focus;
    uint32_t enabled;
    PluginState* owner;
    CacheSlot diffuseCache;
    CacheSlot specularCache;
    PointF positionPct;
    PointF vector0Pct;
    PointF vector1Pct;
    float radiusPct;
};

// Round half away from zero, as the geometry conversions want it.
int32_t roundHalfAway(double value);
// Clamps into the 16-bit range (NaN gives 0) before rounding, so that script
// geometry of any size converts without undefined behaviour.
int16_t roundToInt16(double value);
// The same with truncation toward zero.
int16_t truncToInt16(double value);
