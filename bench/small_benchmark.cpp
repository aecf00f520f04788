#include "bench/small_benchmark.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

#include <windows.h>

namespace benchmark {
namespace {
std::vector<internal::Benchmark*>& registry() {
    static std::vector<internal::Benchmark*> benchmarks;
    return benchmarks;
}

struct Options {
    std::string filter = ".";
    double minSeconds = 0.5;
    int repetitions = 1;
};

// Accepts --benchmark_filter=, --benchmark_min_time= (seconds, an "s" may
// follow) and --benchmark_repetitions=; other options are ignored.
Options optionsOf(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto value = [&](const char* name) -> const char* {
            const size_t length = std::strlen(name);
            return argument.compare(0, length, name) == 0 ? argv[i] + length : nullptr;
        };
        if (const char* v = value("--benchmark_filter="))
            options.filter = v;
        else if (const char* v = value("--benchmark_min_time="))
            options.minSeconds = std::atof(v);
        else if (const char* v = value("--benchmark_repetitions="))
            options.repetitions = std::max(1, std::atoi(v));
    }
    return options;
}

std::string caseName(const internal::Benchmark& b, const std::vector<int64_t>& args) {
    std::string name = b.name_;
    for (size_t i = 0; i < args.size(); ++i) {
        name += '/';
        if (i < b.argNames_.size())
            name += b.argNames_[i] + ':';
        name += std::to_string(args[i]);
    }
    return name;
}

// The calling thread's processor time in seconds: like Google Benchmark, the
// rates count the time the benchmark ran, not the time other programs took.
double threadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

struct Measurement {
    double secondsPerIteration, cpuSecondsPerIteration;
    double itemsPerSecond;
    std::string label;
};

// Grows the iteration count until one run lasts the minimum time.
Measurement measure(const internal::Benchmark& b, const std::vector<int64_t>& args,
                    double minSeconds) {
    int64_t iterations = 1;
    for (;;) {
        State state(args, iterations);
        const auto start = std::chrono::steady_clock::now();
        const double startCpu = threadSeconds();
        b.function_(state);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = threadSeconds() - startCpu;
        if ((seconds >= minSeconds && cpu > 0) || iterations >= (int64_t(1) << 40)) {
            return Measurement{seconds / double(iterations), cpu / double(iterations),
                               double(state.itemsProcessed()) / cpu, state.label()};
        }
        const double factor = seconds > 0 ? 1.4 * minSeconds / seconds : 10.0;
        iterations = std::max(iterations + 1, int64_t(double(iterations) * std::min(factor, 10.0)));
    }
}

void report(const std::string& name, std::vector<Measurement> repetitions) {
    std::sort(repetitions.begin(), repetitions.end(),
              [](const Measurement& a, const Measurement& b) {
                  return a.itemsPerSecond < b.itemsPerSecond;
              });
    const Measurement& median = repetitions[repetitions.size() / 2];
    std::printf("%-42s %10.0f ns %10.0f ns %10.3fM/s %s\n", name.c_str(),
                median.secondsPerIteration * 1e9, median.cpuSecondsPerIteration * 1e9,
                median.itemsPerSecond / 1e6, median.label.c_str());
    std::fflush(stdout);
}
} // namespace

internal::Benchmark* internal::registerBenchmark(Benchmark* benchmark) {
    registry().push_back(benchmark);
    return benchmark;
}

int runBenchmarks(int argc, char** argv) {
    const Options options = optionsOf(argc, argv);
    const std::regex filter(options.filter);
    std::printf("%-42s %13s %13s %13s (median of %d)\n", "Benchmark", "Time", "CPU", "Items",
                options.repetitions);
    for (const internal::Benchmark* b : registry()) {
        std::vector<std::vector<int64_t>> argSets = b->argSets_;
        if (argSets.empty())
            argSets.emplace_back();
        for (const std::vector<int64_t>& args : argSets) {
            const std::string name = caseName(*b, args);
            if (!std::regex_search(name, filter))
                continue;
            std::vector<Measurement> repetitions;
            for (int r = 0; r < options.repetitions; ++r)
                repetitions.push_back(measure(*b, args, options.minSeconds));
            report(name, repetitions);
        }
    }
    return 0;
}
} // namespace benchmark
