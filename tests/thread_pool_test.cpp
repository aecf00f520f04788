// The host's worker-thread service: a barrier over real threads, each with its
// own zeroed block.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>

#include "protocol/plugin_api.h"

namespace {
struct CountingBlock {
    int32_t runs;
    uint8_t zeroesBefore;
    std::thread::id ranOn;
    uint8_t padding[64];
};

std::atomic<int> totalRuns{0};

void countRun(void* raw) {
    auto* block = static_cast<CountingBlock*>(raw);
    ++block->runs;
    block->ranOn = std::this_thread::get_id();
    ++totalRuns;
}

struct ThreadCount {
    explicit ThreadCount(int16_t count) { PIThreadsSetCount(count); }
    ~ThreadCount() { PIThreadsSetCount(0); }
};
} // namespace

TEST(ThreadPool, EveryWorkerRunsOncePerDoAll) {
    for (int16_t count = 1; count <= 8; ++count) {
        ThreadCount setting(count);
        ASSERT_EQ(PIThreadsGetNumThreads(), count);
        ThreadSet* set = PIThreadsInit(sizeof(CountingBlock));
        ASSERT_NE(set, nullptr);
        for (int16_t i = 0; i < count; ++i) {
            auto* block = static_cast<const uint8_t*>(PIThreadsGetParamsPtr(set, i));
            ASSERT_NE(block, nullptr);
            for (size_t b = 0; b < sizeof(CountingBlock); ++b)
                ASSERT_EQ(block[b], 0) << "block " << i << " byte " << b;
        }
        totalRuns = 0;
        for (int round = 1; round <= 3; ++round) {
            EXPECT_EQ(PIThreadsDoAll(0, set, countRun), 0);
            // A barrier: every worker has finished when DoAll returns.
            EXPECT_EQ(totalRuns.load(), round * count);
        }
        std::set<std::thread::id> threads;
        for (int16_t i = 0; i < count; ++i) {
            auto* block = static_cast<CountingBlock*>(PIThreadsGetParamsPtr(set, i));
            EXPECT_EQ(block->runs, 3);
            threads.insert(block->ranOn);
        }
        EXPECT_EQ(threads.size(), size_t(count)) << "each block runs on a thread of its own";
        EXPECT_EQ(PIThreadsGetParamsPtr(set, count), nullptr);
        PIThreadsEndThreads(set);
    }
}

TEST(Handles, KeepTheirSizeAndStartZeroed) {
    Handle handle = NewHandle(66736);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(HostGetHandleSize(nullptr, handle), 66736);
    const auto* bytes = static_cast<const uint8_t*>(*handle);
    EXPECT_EQ(bytes[0] | bytes[66735], 0);
    HLock(handle);
    EXPECT_EQ(static_cast<const uint8_t*>(*handle), bytes);
    HostDisposeHandle(nullptr, handle);
    EXPECT_EQ(NewHandle(-1), nullptr);
}
