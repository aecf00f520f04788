#include "lighting/shade_batch.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include <emmintrin.h>

#include "lighting/light_kernels.h"
#include "lighting/material_in_double.h"
#include "lighting/parameter_block.h"
#include "lighting/relief_chunk.h"
#include "lighting/shading_scratch.h"

namespace {
// One relaxed addition per batch. Threads lighting batches side by side would
// pass one counter's cache line to and fro at every batch (3 % of a run on
// two threads), so each thread adds to a counter of its own line, taken in
// turn as threads first count.
struct alignas(64) EvaluationCounter {
    std::atomic<uint32_t> count{0};
};
constexpr unsigned kEvaluationCounters = 64;
EvaluationCounter lightEvaluations[kEvaluationCounters];
std::atomic<unsigned> nextEvaluationCounter{0};

void countEvaluations(int lights) {
    thread_local const unsigned counter = nextEvaluationCounter++ % kEvaluationCounters;
    lightEvaluations[counter].count.fetch_add(uint32_t(lights), std::memory_order_relaxed);
}

MaterialTerms materialTermsOf(const ParameterBlock& block) {
    return MaterialTerms{block.gloss, block.material, block.exposure};
}

// litByte over the batch's facets from the first on.
template <Highlight kKind>
void applyMaterialIn64Bits(const ParameterBlock& block, const FacetBatch& b, int first = 0) {
    const MaterialTerms m = materialTermsOf(block);
    const int64_t ambient[3] = {block.ambient[0], block.ambient[1], block.ambient[2]};
    // Local copies: the byte stores could alias the batch record.
    const uint8_t* colours = b.colours;
    const int32_t* diffuse = b.diffuse;
    const int32_t* specular = b.specular;
    uint8_t* lit = b.lit;
    const int count = b.count;
    for (int i = first; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            lit[3 * i + c] =
                litByte<kKind>(m, colours[3 * i + c], ambient[c], diffuse[kSumWords * i + c],
                               specular[kSumWords * i + c]);
}

#ifdef ORVANE_MATERIAL_IN_DOUBLE
// A batch's last odd facet takes litByte itself.
struct MaterialOfBatch : MaterialInDouble {
    explicit MaterialOfBatch(const ParameterBlock& block)
        : MaterialInDouble(block), ambientRedGreen(_mm_set_pd(block.ambient[1], block.ambient[0])),
          ambientBlueRed(_mm_set_pd(block.ambient[0], block.ambient[2])),
          ambientGreenBlue(_mm_set_pd(block.ambient[2], block.ambient[1])) {}

    // Two facets' six channels fill three vectors, in the order of the lit
    // bytes: red and green of the first, blue of the first and red of the
    // second, green and blue of the second.
    template <Highlight kKind> void applyToPair(const FacetBatch& b, int i) const {
        const auto load = [](const int32_t* slot) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(slot));
        };
        const __m128i diffuse0 = load(b.diffuse + kSumWords * i);
        const __m128i diffuse1 = load(b.diffuse + kSumWords * (i + 1));
        const __m128i highlight0 = _mm_srai_epi32(load(b.specular + kSumWords * i), 8);
        const __m128i highlight1 = _mm_srai_epi32(load(b.specular + kSumWords * (i + 1)), 8);
        const uint8_t* colour = b.colours + 3 * i;
        uint32_t firstFour;
        std::memcpy(&firstFour, colour, 4);
        const __m128i zero = _mm_setzero_si128();
        const __m128i colours0123 = _mm_unpacklo_epi16(
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(firstFour)), zero), zero);
        const __m128i first =
            litBytes<kKind>(ambientRedGreen, diffuse0, highlight0, _mm_cvtepi32_pd(colours0123));
        const __m128i second = litBytes<kKind>(
            ambientBlueRed, _mm_unpacklo_epi32(_mm_srli_si128(diffuse0, 8), diffuse1),
            _mm_unpacklo_epi32(_mm_srli_si128(highlight0, 8), highlight1),
            _mm_cvtepi32_pd(_mm_srli_si128(colours0123, 8)));
        const __m128i third =
            litBytes<kKind>(ambientGreenBlue, _mm_srli_si128(diffuse1, 4),
                            _mm_srli_si128(highlight1, 4), _mm_set_pd(colour[5], colour[4]));
        // Each result is 0 to 255: the packs keep it.
        const __m128i words = _mm_packs_epi32(_mm_unpacklo_epi64(first, second), third);
        const __m128i bytes = _mm_packus_epi16(words, words);
        const uint32_t litFour = uint32_t(_mm_cvtsi128_si32(bytes));
        const uint16_t litLastTwo = uint16_t(_mm_extract_epi16(bytes, 2));
        std::memcpy(b.lit + 3 * i, &litFour, 4);
        std::memcpy(b.lit + 3 * i + 4, &litLastTwo, 2);
    }

    template <Highlight kKind> void apply(const ParameterBlock& block, const FacetBatch& b) const {
        int i = 0;
        for (; i + 2 <= b.count; i += 2)
            applyToPair<kKind>(b, i);
        applyMaterialIn64Bits<kKind>(block, b, i);
    }

    // The ambient light of the lanes' channels, as the lit bytes pair them.
    __m128d ambientRedGreen, ambientBlueRed, ambientGreenBlue;
};

template <Highlight kKind> void applyMaterialAs(const ParameterBlock& block, const FacetBatch& b) {
    if (block.exposure >= 0)
        MaterialOfBatch(block).apply<kKind>(block, b);
    else
        applyMaterialIn64Bits<kKind>(block, b);
}
#else
// On x86-64 the 64-bit integer steps are the faster form.
template <Highlight kKind> void applyMaterialAs(const ParameterBlock& block, const FacetBatch& b) {
    applyMaterialIn64Bits<kKind>(block, b);
}
#endif
} // namespace

LightTerms termsOf(const RenderLight& light) {
    LightTerms terms;
    for (int i = 0; i < 3; ++i) {
        terms.strength[i] = light.strength[i];
        terms.point[i] = light.point[i];
        terms.direction[i] = light.direction[i];
    }
    terms.strength[3] = 0.0;
    terms.coneCosine = light.coneCosine;
    terms.falloffStart = light.falloffStart;
    terms.falloffScale = light.falloffScale;
    terms.falloff = light.falloff;
    return terms;
}

void accumulateLight(const RenderLight& light, const FacetBatch& batch) {
    SumBounds unknown; // the sums so far may be anything
    if (batch.normals)
        accumulateReliefLights(&light, 1, batch, false);
    else
        accumulateUntexturedLight(light.type, termsOf(light), batch, unknown);
}

void lightBatch(const ParameterBlock& block, const FacetBatch& batch) {
    const int lights = std::min<int>(block.lightCount, ParameterBlock::kMaxLights);
    if (batch.normals && lights > 0) {
        accumulateReliefLights(block.lights, lights, batch, true);
    } else {
        std::fill_n(batch.diffuse, kSumWords * batch.count, 0);
        std::fill_n(batch.specular, kSumWords * batch.count, 0);
        SumBounds bounds{0.0, 0.0};
        for (int i = 0; i < lights; ++i)
            accumulateUntexturedLight(block.lights[i].type, termsOf(block.lights[i]), batch,
                                      bounds);
    }
    countEvaluations(lights);
}

void applyMaterial(const ParameterBlock& block, const FacetBatch& batch) {
    withHighlightOf(block.material,
                    [&](auto kind) { applyMaterialAs<decltype(kind)::value>(block, batch); });
}

namespace {
// A relief batch is lit and its material applied chunk by chunk where it can
// be, else in two steps over the whole batch.
void lightAndApplyMaterial(const ParameterBlock& block, const FacetBatch& batch, bool storeSums) {
    if (batch.normals && shadeReliefLights(block, batch, storeSums)) {
        countEvaluations(std::min<int>(block.lightCount, ParameterBlock::kMaxLights));
        return;
    }
    lightBatch(block, batch);
    applyMaterial(block, batch);
}
} // namespace

bool shadeBatch(const ParameterBlock& block, const FacetBatch& batch, bool keepSums) {
    if (batch.count < 0 || batch.count > kMaxBatchFacets)
        return false;
    if (keepSums)
        applyMaterial(block, batch);
    else
        lightAndApplyMaterial(block, batch, true);
    return true;
}

bool shadeBatchOnce(const ParameterBlock& block, const FacetBatch& batch) {
    if (batch.count < 0 || batch.count > kMaxBatchFacets)
        return false;
    lightAndApplyMaterial(block, batch, false);
    return true;
}

uint32_t lightEvaluationCount() {
    uint32_t total = 0;
    for (const EvaluationCounter& counter : lightEvaluations)
        total += counter.count.load(std::memory_order_relaxed);
    return total;
}
