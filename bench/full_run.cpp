// A whole filtering run on a large image, timed: the host kit's session drives
// the plug-in (tile requests, copies, worker threads) exactly as zerafin does,
// without the image files. The same pixels are then lit by the kernels alone,
// tile by tile on one thread, with the render block the run used; the
// difference is the time spent outside the shading.
//
//   orvane_full_run [SIZE] [THREADS...]     (default 4096 and 1 and the CPU count)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_scene.h"
#include "host/zerafin/image_files/document.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "lighting/height_map.h"
#include "lighting/parameter_block.h"
#include "lighting/relief_strip.h"
#include "lighting/shading_scratch.h"
#include "lighting/untextured_rows.h"
#include "protocol/plugin_api.h"
#include "shell/entry_point.h"

namespace {
constexpr int kTile = 64;
constexpr int kTextureMargin = 3;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::optional<Descriptor> scriptFor(bool relief) {
    return benchScript(benchMaterialAndLights(3), relief);
}

struct RunResult {
    double seconds = 0;
    std::vector<uint8_t> block; // the parameter block the run left
};

// Each figure is the best of three: this machine is shared.
constexpr int kAttempts = 3;

// The whole run, as the host makes it.
std::optional<RunResult> timedRun(Document& document, const Descriptor& script, int threads) {
    PIThreadsSetCount(int16_t(threads));
    RunResult best{1e30, {}};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        HostSession session(ENTRYPOINT1, nullptr);
        session.setDocument(&document);
        if (!session.playScript(script, false))
            return std::nullopt;
        const auto start = std::chrono::steady_clock::now();
        const int16_t result = session.runFilter(false);
        const double seconds = secondsSince(start);
        if (result != 0) {
            std::fprintf(stderr, "orvane_full_run: the run failed with %d\n", result);
            return std::nullopt;
        }
        best.seconds = std::min(best.seconds, seconds);
        best.block = session.parameterBytes();
    }
    return best;
}

// Interleaved RGB of a tile, and its texture samples with the run's margin.
struct TileInput {
    std::vector<uint8_t> rgb, texture;
};

TileInput tileInput(const Document& document, int top, int left, int rows, int columns) {
    TileInput input;
    for (int y = top; y < top + rows; ++y)
        for (int x = left; x < left + columns; ++x)
            for (int c = 0; c < 3; ++c)
                input.rgb.push_back(document.sample(c, x, y));
    const int last = document.width - 1;
    for (int y = top - kTextureMargin; y < top + rows + kTextureMargin; ++y)
        for (int x = left - kTextureMargin; x < left + columns + kTextureMargin; ++x)
            input.texture.push_back(
                document.sample(3, std::clamp(x, 0, last), std::clamp(y, 0, last)));
    return input;
}

// The kernels alone over every tile, on one thread; the tiles' input is made
// beforehand and not timed.
double kernelSeconds(const Document& document, const ParameterBlock& block, bool relief) {
    std::vector<uint8_t> scratchArea(kScratchAreaBytes), output(kTile * kTile * 3);
    const ShadingScratch scratch = scratchFromArea(scratchArea.data());
    const int size = document.width;
    const float scale = block.imageWidth / float(size);
    HeightMapRecord heights{};
    heights.scale = block.relief;
    double seconds = 0;
    for (int top = 0; top < size; top += kTile) {
        std::vector<TileInput> row;
        for (int left = 0; left < size; left += kTile)
            row.push_back(tileInput(document, top, left, kTile, kTile));
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0, left = 0; left < size; ++i, left += kTile) {
            const RowRun run{
                &block,    size,          size,      kTile, kTile,  top, left, row[i].rgb.data(),
                kTile * 3, output.data(), kTile * 3, scale, scratch};
            if (relief) {
                const int side = kTile + 2 * kTextureMargin;
                buildHeightMap(row[i].texture.data(), side, side, side, heights);
                shadeStrip(ReliefStrip{run, heights.map + heights.width + 1, heights.width});
            } else {
                shadeUntexturedRows(UntexturedRows{run});
            }
        }
        seconds += secondsSince(start);
    }
    std::free(heights.map);
    return seconds;
}

void doNothing(void*) {}

// What one hand-off to the worker threads costs, with no work in it.
void reportHandOff(int threads) {
    PIThreadsSetCount(int16_t(threads));
    ThreadSet* set = PIThreadsInit(64);
    if (!set)
        return;
    constexpr int kRounds = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i)
        PIThreadsDoAll(0, set, doNothing);
    std::printf("hand-off to %d thread(s): %.1f us\n", threads,
                secondsSince(start) / kRounds * 1e6);
    PIThreadsEndThreads(set);
}

void report(const char* name, int size, const std::vector<int>& threadCounts, Document& document,
            bool relief) {
    const std::optional<Descriptor> script = scriptFor(relief);
    if (!script)
        std::exit(2);
    const double megapixels = double(size) * size / 1e6;
    std::vector<uint8_t> block;
    for (int threads : threadCounts) {
        const std::optional<RunResult> run = timedRun(document, *script, threads);
        if (!run)
            std::exit(1);
        std::printf("%-11s %d thread(s): %7.3f s  %7.2f MP/s\n", name, threads, run->seconds,
                    megapixels / run->seconds);
        if (threads == 1) {
            ParameterBlock prepared;
            std::memcpy(&prepared, run->block.data(), std::min(sizeof prepared, run->block.size()));
            double kernels = 1e30;
            for (int attempt = 0; attempt < kAttempts; ++attempt)
                kernels = std::min(kernels, kernelSeconds(document, prepared, relief));
            std::printf("%-11s kernels alone, 1 thread: %7.3f s; outside the shading: %.1f %%\n",
                        name, kernels, 100.0 * (run->seconds - kernels) / run->seconds);
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : 4096;
    std::vector<int> threadCounts;
    for (int i = 2; i < argc; ++i)
        threadCounts.push_back(std::atoi(argv[i]));
    if (threadCounts.empty())
        threadCounts = {1, PIThreadsGetNumThreads()};
    if (size < kTile || size > 30000 || size % kTile != 0) {
        std::fprintf(stderr, "usage: orvane_full_run [SIZE (a multiple of 64)] [THREADS...]\n");
        return 2;
    }
    for (int threads : threadCounts)
        reportHandOff(threads);
    Document document = makeBenchDocument(size);
    std::printf("%d x %d pixels, 3 lights (spot, omni, directional)\n", size, size);
    report("untextured", size, threadCounts, document, false);
    report("relief", size, threadCounts, document, true);
    return 0;
}
