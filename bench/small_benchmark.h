#pragma once
// The part of Google Benchmark's interface that the lighting benchmarks use,
// for the Win32 build, for which Debian ships no library of it: each case is
// run with the iteration count grown until one measurement lasts
// --benchmark_min_time seconds by the wall clock, and reported as the median
// of --benchmark_repetitions measurements. --benchmark_filter takes a regular
// expression. The output is one line per case: wall and processor time per
// iteration, items per second of processor time, and the label.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace benchmark {

class State {
  public:
    State(std::vector<int64_t> ranges, int64_t iterations)
        : ranges_(std::move(ranges)), iterations_(iterations) {}

    struct Iterator {
        int64_t left;
        bool operator!=(const Iterator&) const { return left != 0; }
        void operator++() { --left; }
        int operator*() const { return 0; }
    };
    Iterator begin() { return Iterator{iterations_}; }
    Iterator end() { return Iterator{0}; }

    int64_t range(size_t i) const { return ranges_[i]; }
    int64_t iterations() const { return iterations_; }
    void SetItemsProcessed(int64_t items) { items_ = items; }
    void SetLabel(const std::string& label) { label_ = label; }
    int64_t itemsProcessed() const { return items_; }
    const std::string& label() const { return label_; }

  private:
    std::vector<int64_t> ranges_;
    int64_t iterations_;
    int64_t items_ = 0;
    std::string label_;
};

template <typename T> void DoNotOptimize(T&& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

namespace internal {
class Benchmark {
  public:
    explicit Benchmark(void (*function)(State&)) : function_(function) {}
    Benchmark* Name(const std::string& name) {
        name_ = name;
        return this;
    }
    Benchmark* ArgNames(const std::vector<std::string>& names) {
        argNames_ = names;
        return this;
    }
    Benchmark* Args(const std::vector<int64_t>& args) {
        argSets_.push_back(args);
        return this;
    }
    Benchmark* Apply(void (*apply)(Benchmark*)) {
        apply(this);
        return this;
    }

    void (*function_)(State&);
    std::string name_;
    std::vector<std::string> argNames_;
    std::vector<std::vector<int64_t>> argSets_;
};

Benchmark* registerBenchmark(Benchmark* benchmark);
} // namespace internal

int runBenchmarks(int argc, char** argv);
} // namespace benchmark

#define ORVANE_BENCHMARK_NAME2(line) orvaneBenchmark##line
#define ORVANE_BENCHMARK_NAME(line) ORVANE_BENCHMARK_NAME2(line)
#define BENCHMARK(...)                                                                             \
    [[maybe_unused]] static ::benchmark::internal::Benchmark* ORVANE_BENCHMARK_NAME(__LINE__) =    \
        ::benchmark::internal::registerBenchmark(                                                  \
            new ::benchmark::internal::Benchmark(__VA_ARGS__))
#define BENCHMARK_MAIN()                                                                           \
    int main(int argc, char** argv) {                                                              \
        return ::benchmark::runBenchmarks(argc, argv);                                             \
    }
