// The worker-thread service: a pool created by PIThreadsInit, each worker with
// its own zeroed block, and PIThreadsDoAll as a barrier. The calling thread
// runs the first block itself, so that one thread costs no hand-off at all.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include <immintrin.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "host/threads/parallel_for.h"
#include "protocol/plugin_api.h"

namespace {
#ifdef _WIN32
// The system's own slim lock and condition variable: a hand-off through them
// costs a fraction of what the threads library's emulation costs (every band
// of a render is one hand-off).
class Mutex {
  public:
    void lock() { AcquireSRWLockExclusive(&srw); }
    void unlock() { ReleaseSRWLockExclusive(&srw); }
    SRWLOCK* native() { return &srw; }

  private:
    SRWLOCK srw = SRWLOCK_INIT;
};

class ConditionVariable {
  public:
    template <typename Predicate> void wait(std::unique_lock<Mutex>& held, Predicate ready) {
        while (!ready())
            SleepConditionVariableSRW(&condition, held.mutex()->native(), INFINITE, 0);
    }
    void notify_all() { WakeAllConditionVariable(&condition); }
    void notify_one() { WakeConditionVariable(&condition); }

  private:
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};
#else
using Mutex = std::mutex;
using ConditionVariable = std::condition_variable;
#endif

int16_t configuredThreadCount = 0; // 0: one per processor

int16_t threadCount() {
    if (configuredThreadCount > 0)
        return configuredThreadCount;
    return int16_t(std::min(processorCount(), 64));
}

// Waits up to a millisecond for `ready` by spinning. A render hands each
// tile's bands over and back, with the host's copies of the tile between:
// some tens of microseconds, more under Wine. A thread put to sleep for such
// a gap takes as long again to wake on a virtual machine, and a late worker
// puts the caller to sleep in turn; a wait longer than the spin is one in
// which the host does other work, and the thread sleeps. The time is read
// every 64 pauses: a pause lasts from a few cycles to 140, after the
// processor.
template <typename Ready> bool spinUntil(Ready ready) {
    constexpr auto kSpinTime = std::chrono::milliseconds(1);
    const auto end = std::chrono::steady_clock::now() + kSpinTime;
    do {
        for (int i = 0; i < 64; ++i) {
            if (ready())
                return true;
            _mm_pause();
        }
        std::this_thread::yield(); // to the threads that wait for a processor
    } while (std::chrono::steady_clock::now() < end);
    return ready();
}
} // namespace

// Workers wait for a new generation of work, run it on their block, and report
// back; the caller of doAll waits until every worker has reported. Waiting
// spins first and sleeps only when the wait goes on; the generation and the
// stop flag change under the mutex, so that a sleeper never misses them.
struct ThreadSet {
    explicit ThreadSet(int count, size_t blockSize) : blocks(size_t(count)) {
        for (void*& block : blocks)
            block = std::calloc(1, blockSize == 0 ? 1 : blockSize);
    }
    ~ThreadSet() {
        {
            std::lock_guard<Mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        for (std::thread& worker : workers)
            worker.join();
        for (void* block : blocks)
            std::free(block);
    }

    bool blocksAllocated() const {
        for (void* block : blocks)
            if (!block)
                return false;
        return true;
    }

    // Block 0 belongs to the calling thread; the others get a worker each.
    void start() {
        for (size_t i = 1; i < blocks.size(); ++i)
            workers.emplace_back([this, i] { workerLoop(i); });
    }

    void doAll(ThreadWorkerProc proc) {
        if (!workers.empty()) {
            work = proc;
            running = workers.size();
            {
                std::lock_guard<Mutex> lock(mutex);
                ++generation;
            }
            wake.notify_all();
        }
        proc(blocks[0]);
        const auto allReported = [this] { return running == 0; };
        if (!spinUntil(allReported)) {
            std::unique_lock<Mutex> lock(mutex);
            done.wait(lock, allReported);
        }
    }

    std::vector<void*> blocks;

  private:
    void workerLoop(size_t index) {
        unsigned long seen = 0;
        for (;;) {
            const auto called = [&] { return stopping || generation != seen; };
            if (!spinUntil(called)) {
                std::unique_lock<Mutex> lock(mutex);
                wake.wait(lock, called);
            }
            if (stopping)
                return;
            seen = generation;
            work.load()(blocks[index]);
            if (--running == 0) {
                std::lock_guard<Mutex> lock(mutex);
                done.notify_one();
            }
        }
    }

    std::vector<std::thread> workers;
    Mutex mutex;
    ConditionVariable wake, done;
    std::atomic<ThreadWorkerProc> work{nullptr};
    std::atomic<size_t> running{0};
    std::atomic<unsigned long> generation{0};
    std::atomic<bool> stopping{false};
};

PLUGIN_API void PIThreadsSetCount(int16_t count) {
    configuredThreadCount = count;
}

PLUGIN_API int16_t PIThreadsGetNumThreads() {
    return threadCount();
}

PLUGIN_API ThreadSet* PIThreadsInit(int32_t blockSize) {
    if (blockSize < 0)
        return nullptr;
    auto* set = new (std::nothrow) ThreadSet(threadCount(), size_t(blockSize));
    if (!set)
        return nullptr;
    if (!set->blocksAllocated()) {
        delete set;
        return nullptr;
    }
    set->start();
    return set;
}

PLUGIN_API void* PIThreadsGetParamsPtr(ThreadSet* set, int16_t index) {
    if (!set || index < 0 || size_t(index) >= set->blocks.size())
        return nullptr;
    return set->blocks[size_t(index)];
}

PLUGIN_API int16_t PIThreadsDoAll(int32_t, ThreadSet* set, ThreadWorkerProc worker) {
    if (!set || !worker)
        return -1;
    set->doAll(worker);
    return 0;
}

PLUGIN_API void PIThreadsEndThreads(ThreadSet* set) {
    delete set;
}
