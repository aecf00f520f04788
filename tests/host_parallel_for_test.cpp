// Spreading work over threads: every item runs once whatever the number of
// threads, a failing item is answered as a value, and one thread does it all
// on the caller's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/threads/parallel_for.h"

namespace {
// How many times each item ran.
std::vector<int> runCounts(size_t count, int threads, bool* answer = nullptr) {
    std::vector<std::atomic<int>> runs(count);
    const bool finished = parallelFor(count, threads, [&](size_t i) { ++runs[i]; });
    if (answer)
        *answer = finished;
    return std::vector<int>(runs.begin(), runs.end());
}
} // namespace

TEST(ParallelFor, EveryItemRunsExactlyOnceWhateverTheThreads) {
    for (size_t count : {size_t(0), size_t(1), size_t(7), size_t(1000)}) {
        for (int threads : {-3, 0, 1, 2, 5, 64}) {
            bool finished = false;
            const std::vector<int> runs = runCounts(count, threads, &finished);
            EXPECT_TRUE(finished) << count << " items on " << threads << " threads";
            EXPECT_EQ(runs, std::vector<int>(count, 1))
                << count << " items on " << threads << " threads";
        }
    }
}

TEST(ParallelFor, OneThreadWorksAloneOnTheCallersThreadInOrder) {
    std::vector<size_t> order;
    std::set<std::thread::id> ranOn;
    EXPECT_TRUE(parallelFor(50, 1, [&](size_t i) {
        order.push_back(i); // no lock: a second thread would be a fault here
        ranOn.insert(std::this_thread::get_id());
    }));
    ASSERT_EQ(order.size(), 50u);
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_EQ(ranOn, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST(ParallelFor, SeveralThreadsShareTheItems) {
    // The first item taken waits until another thread has taken an item, so
    // that the caller cannot do everything alone while the others start.
    std::mutex lock;
    std::set<std::thread::id> ranOn;
    std::atomic<int> itemsTaken{0};
    EXPECT_TRUE(parallelFor(64, 4, [&](size_t) {
        {
            std::lock_guard<std::mutex> held(lock);
            ranOn.insert(std::this_thread::get_id());
        }
        if (itemsTaken++ == 0) {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (itemsTaken < 2 && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::yield();
        }
    }));
    EXPECT_EQ(itemsTaken.load(), 64);
    EXPECT_GE(ranOn.size(), 2u);
    EXPECT_LE(ranOn.size(), 4u);
}

TEST(ParallelFor, AFailingItemIsAnsweredAndStopsNoOther) {
    for (int threads : {1, 3}) {
        std::vector<std::atomic<int>> runs(100);
        const bool finished = parallelFor(runs.size(), threads, [&](size_t i) {
            ++runs[i];
            if (i == 3)
                throw std::runtime_error("item 3 fails");
            if (i == 57)
                throw 57; // not even an exception class
        });
        EXPECT_FALSE(finished) << threads << " threads";
        for (size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i].load(), 1) << "item " << i << " on " << threads << " threads";
    }
}
