#pragma once
// Spreading work over threads, for the host and its support library alike:
// both builds start plain std::thread workers.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

// The processors the system reports, at least one.
inline int processorCount() {
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// The threads the host spreads its own work over (the image copies of a run,
// the PNG writer's strips) unless told otherwise: one per processor, at most 16.
inline int hostThreadCount() {
    return std::min(processorCount(), 16);
}

// Runs work(i) once for every i below `count` on at most `threads` threads,
// the calling thread among them; each thread takes the next item left, so that
// items of uneven length keep every thread busy. A thread the system cannot
// start leaves its items to the others. An item that throws stops no other
// item; the answer is then false (an exception never leaves a worker).
template <typename Work> bool parallelFor(size_t count, int threads, Work work) {
    std::atomic<size_t> next{0};
    std::atomic<bool> everyItemFinished{true};
    const auto takeItems = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                everyItemFinished = false;
            }
        }
    };
    const size_t helpers = std::min(size_t(std::max(threads, 1)), std::max(count, size_t(1))) - 1;
    std::vector<std::thread> workers;
    try {
        workers.reserve(helpers);
        for (size_t i = 0; i < helpers; ++i)
            workers.emplace_back(takeItems);
    } catch (const std::exception&) {
        // No thread to spare: those already started and this one do it all.
    }
    takeItems();
    for (std::thread& worker : workers)
        worker.join();
    return everyItemFinished;
}
