// Throughput of the lighting kernels: one batch of 1,024 facets (relief) or
// samples (untextured) under 1, 3 and 16 lights of each type, and whole
// 64 x 64 tiles with and without relief. The batches also run through the
// plain transcription of the formulas that the tests hold the kernels to, so
// that one run shows what the kernels gain.
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#ifdef _WIN32
#include "bench/small_benchmark.h"
#else
#include <benchmark/benchmark.h>
#endif

#include "lighting/facets.h"
#include "lighting/height_map.h"
#include "lighting/pixel_centre.h"
#include "lighting/relief_piece.h"
#include "lighting/relief_row.h"
#include "lighting/shade_batch.h"
#include "platform/checked_alloc.h"
#include "tests/support/reference_shading.h"
#include "tools/determinism/scene.h"

namespace {
constexpr int kTile = 64;
constexpr int kTextureMargin = 3;
const char* const kTypeNames[] = {"omni", "directional", "spot"};

std::unique_ptr<ParameterBlock> blockWithLights(const std::vector<uint32_t>& types) {
    auto state = sceneState();
    for (size_t i = 0; i < types.size(); ++i)
        addSceneLight(*state, types[i], int(i));
    state->gloss = 200;
    state->material = 100;
    return sceneBlock(*state, BlockVariant::Dialog, 0);
}

// The facets of 256 pixels of rough relief: four slopes each, 1,024 in all.
struct ReliefFacets {
    ReliefFacets() {
        SceneRandom random(3);
        for (int32_t& h : heights)
            h = random.below(276480) - 138240;
        picture = generatedPicture(256, 1, 5);
        ReliefPiece piece{};
        piece.heights = heights.data();
        piece.heightsWidth = 258;
        piece.pixels = 256;
        piece.source = picture.pixels.data();
        piece.areaColumn = 0;
        piece.areaRow = 31;
        piece.areaWidth = 256;
        piece.areaHeight = 64;
        piece.scale = 1.5f / 256;
        batch = buildReliefPiece(piece, scratch.view(), FacetPlaces::PerFacet);
    }
    std::vector<int32_t> heights = std::vector<int32_t>(258 * 3);
    ScenePicture picture;
    SceneScratch scratch;
    FacetBatch batch;
};

// 1,024 untextured samples of one row.
struct UntexturedRow {
    UntexturedRow() {
        picture = generatedPicture(1024, 1, 5);
        for (int i = 0; i < 1024; ++i) {
            positions[2 * i] = (i - 512 + 0.5f) * (1.5f / 1024);
            positions[2 * i + 1] = 0.1f;
        }
        batch.count = 1024;
        batch.positions = positions.data();
        batch.colours = picture.pixels.data();
        batch.diffuse = scratch.view().diffuse;
        batch.specular = scratch.view().specular;
        batch.lit = lit.data();
        batch.work = scratch.view().work;
    }
    std::vector<float> positions = std::vector<float>(2048);
    std::vector<uint8_t> lit = std::vector<uint8_t>(3072);
    ScenePicture picture;
    SceneScratch scratch;
    FacetBatch batch;
};

using BatchShader = bool (*)(const ParameterBlock&, const FacetBatch&, bool);

template <typename Row, BatchShader kShade> void shadeBatchBenchmark(benchmark::State& state) {
    const auto type = uint32_t(state.range(0));
    const auto lights = int(state.range(1));
    auto block = blockWithLights(std::vector<uint32_t>(size_t(lights), type));
    Row row;
    for ([[maybe_unused]] auto _ : state) {
        kShade(*block, row.batch, false);
        benchmark::DoNotOptimize(row.batch.lit[0]);
    }
    state.SetItemsProcessed(state.iterations() * row.batch.count);
    state.SetLabel(std::string(kTypeNames[type]) + " facets/s");
}

void tileBenchmark(benchmark::State& state) {
    const bool relief = state.range(0) != 0;
    const auto lights = int(state.range(1));
    std::vector<uint32_t> types;
    for (int i = 0; i < lights; ++i)
        types.push_back(uint32_t(i % 3));
    auto block = blockWithLights(types);
    const ScenePicture picture = generatedPicture(kTile, kTile, 7);
    const std::vector<uint8_t> texture =
        generatedTexture(kTile + 2 * kTextureMargin, kTile + 2 * kTextureMargin, 11, true);
    const SceneScratch scratch;
    for ([[maybe_unused]] auto _ : state) {
        ScenePicture lit = renderScene(*block, picture, relief ? &texture : nullptr, scratch);
        benchmark::DoNotOptimize(lit.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kTile * kTile);
    state.SetLabel(relief ? "rough relief, pixels/s" : "untextured, pixels/s");
}

// One 64 x 64 tile of rough relief under an omni, a directional and a spot
// light (shadeBatch/relief gives each type's cost alone), lit stage by stage as the strip renderer
// does: the height map, then the rows, each cut into its pixels' quarters, lit and averaged. Each
// stage is timed by the wall clock; the label gives its share of the tile's time in per cent:
// shares stay meaningful when other programs take the processor now and then, which lengthens
// every stage alike.
enum Stage { HeightMap, Rows, kStages };
const char* const kStageNames[kStages] = {"height map", "rows"};

class StageClock {
  public:
    void lap(Stage stage) {
        const auto now = std::chrono::steady_clock::now();
        seconds[stage] += std::chrono::duration<double>(now - last).count();
        last = now;
    }
    void start() { last = std::chrono::steady_clock::now(); }
    double seconds[kStages] = {};

  private:
    std::chrono::steady_clock::time_point last;
};

void lightTileInStages(const ParameterBlock& block, const ScenePicture& picture,
                       const std::vector<uint8_t>& texture, HeightMapRecord& heights,
                       std::vector<uint8_t>& out, StageClock& clock) {
    const int side = kTile + 2 * kTextureMargin;
    clock.start();
    buildHeightMap(texture.data(), side, side, side, heights);
    clock.lap(HeightMap);
    static CellRow kept[2]; // as the strip renderer keeps them, row after row
    kept[0].upper = kept[1].upper = nullptr;
    const float scale = block.imageWidth / float(kTile);
    double centreX[kTile + 1] = {};
    for (int x = 0; x < kTile; ++x)
        centreX[x] = pixelCentre(x, kTile, scale);
    for (int y = 0; y < kTile; ++y) {
        ReliefRow row{};
        row.heights = heights.map + ptrdiff_t(heights.width) * (y + 1) + 1;
        row.heightsWidth = heights.width;
        row.pixels = kTile;
        row.source = picture.pixels.data() + ptrdiff_t(picture.rowBytes) * y;
        row.destination = out.data() + 3 * kTile * y;
        row.centreX = centreX;
        row.centreY = pixelCentre(y, kTile, scale);
        shadeReliefRow(block, row, kept);
    }
    clock.lap(Rows);
}

void tileStagesBenchmark(benchmark::State& state) {
    auto block = blockWithLights({0, 1, 2});
    block->lightCount = 3;
    const ScenePicture picture = generatedPicture(kTile, kTile, 7);
    const std::vector<uint8_t> texture =
        generatedTexture(kTile + 2 * kTextureMargin, kTile + 2 * kTextureMargin, 11, true);
    HeightMapRecord heights{};
    heights.scale = block->relief;
    std::vector<uint8_t> out(kTile * kTile * 3);
    StageClock clock;
    for ([[maybe_unused]] auto _ : state) {
        lightTileInStages(*block, picture, texture, heights, out, clock);
        benchmark::DoNotOptimize(out.data());
    }
    checkedFree(heights.map);
    double total = 0;
    for (double seconds : clock.seconds)
        total += seconds;
    std::string label = "%:";
    for (int s = 0; s < kStages; ++s) {
        char part[48];
        std::snprintf(part, sizeof part, " %s %.1f", kStageNames[s],
                      100.0 * clock.seconds[s] / total);
        label += part;
    }
    state.SetItemsProcessed(state.iterations() * kTile * kTile);
    state.SetLabel(label);
}

void typesAndCounts(benchmark::internal::Benchmark* b) {
    b->ArgNames({"type", "lights"});
    for (int type = 0; type < 3; ++type)
        for (int lights : {1, 3, 16})
            b->Args({type, lights});
}
} // namespace

BENCHMARK(shadeBatchBenchmark<ReliefFacets, shadeBatch>)
    ->Name("shadeBatch/relief")
    ->Apply(typesAndCounts);
BENCHMARK(shadeBatchBenchmark<ReliefFacets, referenceShadeBatch>)
    ->Name("plainFormulas/relief")
    ->Apply(typesAndCounts);
BENCHMARK(shadeBatchBenchmark<UntexturedRow, shadeBatch>)
    ->Name("shadeBatch/untextured")
    ->Apply(typesAndCounts);
BENCHMARK(shadeBatchBenchmark<UntexturedRow, referenceShadeBatch>)
    ->Name("plainFormulas/untextured")
    ->Apply(typesAndCounts);
BENCHMARK(tileBenchmark)
    ->Name("tile64")
    ->ArgNames({"relief", "lights"})
    ->Args({1, 3})
    ->Args({0, 3})
    ->Args({1, 16})
    ->Args({0, 16});
BENCHMARK(tileStagesBenchmark)->Name("tile64/stages");

BENCHMARK_MAIN();
