#include "shell/render_preview.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "lighting/height_map.h"
#include "lighting/light_terms.h"
#include "lighting/relief_piece.h"
#include "lighting/shade_batch.h"
#include "protocol/result_codes.h"
#include "shell/parameter_handle.h"
#include "shell/plugin_state.h"
#include "shell/preview_caches.h"
#include "shell/worker_threads.h"

namespace {
constexpr int kPreviewTableSize = 1; // 256-entry spot tables: cheap enough for every redraw
constexpr int kMaxPreviewWidth = 1024;
// The texture image keeps 3 samples around the preview; the height builder is
// shown the 2 of them it needs, starting at the image's first stored sample.
constexpr int kHeightMapMargin = 2;

// The preview as a band: area and rows are the source image, the output is
// the preview's place in the result image.
Band previewBand(const Preview& preview) {
    const Rect16 whole{0, 0, preview.height, preview.width};
    const ImageRecord& result = preview.resultImage;
    uint8_t* output =
        result.pixels + ptrdiff_t(result.rowBytes) * preview.top + 3 * ptrdiff_t(preview.left);
    return Band{whole,  whole,          preview.sourceImage.pixels, preview.sourceImage.rowBytes,
                output, result.rowBytes};
}

// The preview's relief heights from its texture image, with the relief scaled
// down to the preview's sampling step. 0, or 1 when the map cannot be allocated.
int buildPreviewHeights(PluginState& state, const ParameterBlock& block) {
    state.preview.heightMap.scale = previewHeightScale(block.relief, state.preview.step);
    return buildHeightMap(state.preview.textureImage.pixels, state.preview.textureImage.rowBytes,
                          state.preview.width + 2 * kHeightMapMargin,
                          state.preview.height + 2 * kHeightMapMargin, state.preview.heightMap);
}

// The caches as one textured render uses them. The sums are cached only when
// both sum buffers are there; caches made for fewer samples are left aside.
struct ReliefCaches {
    float* positions = nullptr;
    bool positionsValid = false;
    int32_t* diffuse = nullptr;
    int32_t* specular = nullptr;
    bool keepSums = false; // both sums cached and valid: no light is evaluated
};

ReliefCaches reliefCachesOf(const PluginState& state, size_t samplesNeeded) {
    ReliefCaches caches;
    if (state.preview.summedCacheSamples < samplesNeeded)
        return caches;
    const CacheSlot& positions = state.preview.summedCaches[CachePositions];
    const CacheSlot& diffuse = state.preview.summedCaches[CacheDiffuse];
    const CacheSlot& specular = state.preview.summedCaches[CacheSpecular];
    caches.positions = positions.buffer.as<float>();
    caches.positionsValid = positions.buffer && positions.valid;
    if (diffuse.buffer && specular.buffer) {
        caches.diffuse = diffuse.buffer.as<int32_t>();
        caches.specular = specular.buffer.as<int32_t>();
        caches.keepSums = diffuse.valid && specular.valid;
    }
    return caches;
}

// Builds the piece's facets with the positions and sums placed in the caches
// from `sample` on, where they are present. The facet builder always computes
// positions: with a valid cache it does so in the scratch, and the batch reads
// the cached ones.
FacetBatch buildCachedPiece(const ReliefPiece& piece, ShadingScratch scratch,
                            const ReliefCaches& caches, ptrdiff_t sample) {
    float* cachedPositions = caches.positions ? caches.positions + 2 * sample : nullptr;
    if (cachedPositions && !caches.positionsValid)
        scratch.positions = cachedPositions;
    if (caches.diffuse) {
        scratch.diffuse = caches.diffuse + kSumWords * sample;
        scratch.specular = caches.specular + kSumWords * sample;
    }
    FacetBatch batch = buildReliefPiece(piece, scratch, FacetPlaces::PerFacet);
    if (cachedPositions)
        batch.positions = cachedPositions;
    return batch;
}
} // namespace

void renderPreviewWithRelief(const Band& band, const HeightMapRecord& heights, PluginState& state,
                             const ParameterBlock& block) {
    const Rect16& input = band.rows;
    const Rect16& area = band.area;
    if (input.height() <= 0 || input.width() <= 0 || area.height() <= 0 || area.width() <= 0 ||
        area.width() > kMaxPreviewWidth || !heights.map)
        return;
    const size_t pixels = size_t(input.width()) * size_t(input.height());
    const ReliefCaches caches = reliefCachesOf(state, pixels * kPreviewFacetsPerPixel);
    const ShadingScratch scratch = scratchFromArea(state.preview.scratchArea);
    ReliefPiece piece{};
    piece.heightsWidth = heights.width;
    piece.areaWidth = area.width();
    piece.areaHeight = area.height();
    piece.scale = block.imageWidth / float(area.width());
    // A row holds as many samples as its pixels have facets, so each piece's
    // place in the caches follows from the facets counted before it.
    ptrdiff_t sample = 0;
    for (int y = 0; y < input.height(); ++y) {
        const uint8_t* sourceRow = band.input + ptrdiff_t(band.inputRowBytes) * y;
        uint8_t* outputRow = band.output + ptrdiff_t(band.outputRowBytes) * y;
        piece.heights = heights.map + ptrdiff_t(heights.width) * y;
        piece.areaRow = input.top - area.top + y;
        for (int first = 0; first < input.width(); first += kMaxBatchPixels) {
            piece.firstColumn = first;
            piece.pixels = std::min(kMaxBatchPixels, input.width() - first);
            piece.source = sourceRow + 3 * first;
            piece.areaColumn = input.left - area.left + first;
            const FacetBatch batch = buildCachedPiece(piece, scratch, caches, sample);
            shadeBatch(block, batch, caches.keepSums);
            averageFacets(batch, outputRow + 3 * first);
            sample += batch.count;
        }
    }
    for (CacheSlot& slot : state.preview.summedCaches)
        if (slot.buffer)
            slot.valid = true;
}

int16_t renderPreview(PluginState& state) {
    ParameterBlock* block = state.run.host ? lockParameterBlock(*state.run.host) : nullptr;
    if (!block)
        return result::outOfMemory;
    const bool textured = state.settings.textureChannel != 0;
    ensurePreviewCaches(state, state.preview.width, state.preview.height, textured);
    fillParameterBlock(state.settings, state.preview.width, *block, BlockVariant::Dialog,
                       kPreviewTableSize);
    const Band band = previewBand(state.preview);
    if (!textured) {
        renderUntextured(band, state, *block);
        return result::ok;
    }
    // The heights are rebuilt on every redraw: the texture image may have been
    // gathered anew since.
    if (buildPreviewHeights(state, *block) != 0)
        return result::outOfMemory;
    renderPreviewWithRelief(band, state.preview.heightMap, state, *block);
    return result::ok;
}

void copyUnlitPreview(PluginState& state) {
    const int w = state.preview.width, h = state.preview.height;
    if (w <= 0 || h <= 0)
        return;
    const ImageRecord& source = state.preview.sourceImage;
    ImageRecord& result = state.preview.resultImage;
    for (int y = 0; y < h; ++y)
        std::memcpy(result.pixels + ptrdiff_t(result.rowBytes) * (state.preview.top + y) +
                        3 * state.preview.left,
                    source.pixels + ptrdiff_t(source.rowBytes) * y, size_t(3) * w);
}
