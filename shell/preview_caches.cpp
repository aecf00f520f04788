#include "shell/preview_caches.h"

#include <cstddef>
#include <cstdint>

#include "lighting/light_terms.h"
#include "platform/checked_alloc.h"
#include "shell/plugin_state.h"

namespace {
constexpr size_t kPositionBytes = 2 * sizeof(float);
constexpr size_t kSumBytes = kSumWords * sizeof(int32_t);

void allocateIfAbsent(CacheSlot& slot, size_t bytes) {
    if (slot.buffer)
        return;
    slot.buffer = CheckedBuffer(bytes);
    slot.valid = false;
}

void freeSlot(CacheSlot& slot) {
    slot.buffer.reset();
    slot.valid = false;
}
} // namespace

void ensurePreviewCaches(PluginState& state, int width, int height, bool textured) {
    const size_t pixels = width > 0 && height > 0 ? size_t(width) * size_t(height) : 0;
    const size_t samples = textured ? pixels * kPreviewFacetsPerPixel : pixels;
    CacheSlot* caches = state.preview.summedCaches;
    if (samples != state.preview.summedCacheSamples) {
        freeSlot(caches[CachePositions]);
        freeSlot(caches[CacheDiffuse]);
        freeSlot(caches[CacheSpecular]);
        state.preview.summedCacheSamples = samples;
    }
    if (samples == 0)
        return;
    allocateIfAbsent(caches[CachePositions], samples * kPositionBytes);
    allocateIfAbsent(caches[CacheDiffuse], samples * kSumBytes);
    allocateIfAbsent(caches[CacheSpecular], samples * kSumBytes);
}
