#include "caustics/workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int frameThreadCount = 0;     // 0: one per processor
int frameWorkersStarted = 0;  // pool threads started so far

// Spins of the caller waiting for the last chunks of other threads before it
// sleeps: about ten microseconds, a fraction of a chunk. Sleeping then frees
// its core, so a helper that another program has pushed off its own core can
// be moved over to finish.
constexpr int SPINS_BEFORE_SLEEP = 200;

// The job on offer, claimed chunk by chunk with one compare-and-swap: bits 32
// and up hold the job's number, bits 16 to 31 its chunk count, bits 0 to 15 the
// next unclaimed chunk. A thread that wakes late for an old job sees another
// number and claims nothing, so it can never run a chunk of the wrong job.
static std::atomic<std::uint64_t> jobCursor{0};
static std::atomic<int> chunksFinished{0};  // chunks of the current job that have returned
static void (*jobTask)(int) = nullptr;      // written before the job is published, read after a claim

// Sleeping and waking; guarded by poolMutex.
static std::mutex poolMutex;
static std::condition_variable poolWake;  // a job is posted, or the pool stops
static std::condition_variable jobDone;   // the last chunk of a job has returned
static std::uint32_t postedJob = 0;  // number of the last job posted
static int postedHelpers = 0;        // pool threads wanted for that job
static bool stopping = false;        // set once, at process exit

static std::thread workers[MAX_FRAME_THREADS - 1];
static std::uint32_t lastJob = 0;    // number of the last job, caller's side

static std::uint64_t packCursor(std::uint32_t job, int chunkCount, int next)
{
    return static_cast<std::uint64_t>(job) << 32 | static_cast<std::uint64_t>(chunkCount) << 16 |
           static_cast<std::uint64_t>(next);
}

// The next chunk of job number `job`, or -1 when that job has none left; sets
// *count to the job's chunk count.
static int claimChunk(std::uint32_t job, int *count)
{
    std::uint64_t cursor = jobCursor.load(std::memory_order_acquire);
    for (;;) {
        *count = static_cast<int>((cursor >> 16) & 0xffff);
        const int next = static_cast<int>(cursor & 0xffff);
        if (static_cast<std::uint32_t>(cursor >> 32) != job || next >= *count)
            return -1;
        if (jobCursor.compare_exchange_weak(cursor, cursor + 1, std::memory_order_acq_rel, std::memory_order_acquire))
            return next;
    }
}

static void runClaimedChunks(std::uint32_t job)
{
    int count = 0;
    for (int chunk = claimChunk(job, &count); chunk >= 0; chunk = claimChunk(job, &count)) {
        jobTask(chunk);
        // Whoever returns the last chunk wakes the caller, under the mutex
        // its check of the count holds, so the wake cannot slip between the
        // check and its sleep.
        if (chunksFinished.fetch_add(1, std::memory_order_acq_rel) + 1 == count) {
            std::lock_guard<std::mutex> lock(poolMutex);
            jobDone.notify_all();
        }
    }
}

static void workerLoop(int index)
{
    std::uint32_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(poolMutex);
            poolWake.wait(lock, [&] { return stopping || postedJob != seen; });
            if (stopping)
                return;
            seen = postedJob;
            if (index >= postedHelpers)
                continue;
        }
        runClaimedChunks(seen);
    }
}

static void stopWorkers()
{
    {
        std::lock_guard<std::mutex> lock(poolMutex);
        stopping = true;
    }
    poolWake.notify_all();
    for (int w = 0; w < frameWorkersStarted; ++w)
        workers[w].join();
}

// Starts pool threads until `helpers` exist; returns how many do. A thread the
// system refuses only makes the frames slower.
static int ensureWorkers(int helpers)
{
    if (frameWorkersStarted == 0 && helpers > 0)
        std::atexit(stopWorkers);
    while (frameWorkersStarted < helpers) {
        try {
            workers[frameWorkersStarted] = std::thread(workerLoop, frameWorkersStarted);
        } catch (const std::system_error &) {
            break;
        }
        ++frameWorkersStarted;
    }
    return std::min(helpers, frameWorkersStarted);
}

static int threadsPerFrame()
{
    if (frameThreadCount > 0)
        return std::min(frameThreadCount, MAX_FRAME_THREADS);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, MAX_FRAME_THREADS);
}

static void pauseBriefly()
{
#if defined(__SSE2__)
    _mm_pause();
#endif
}

void runFrameChunks(void (*task)(int chunk), int chunkCount)
{
    const int helpers = chunkCount > 1 ? ensureWorkers(std::min(threadsPerFrame(), chunkCount) - 1) : 0;
    if (helpers == 0) {
        for (int c = 0; c < chunkCount; ++c)
            task(c);
        return;
    }

    const std::uint32_t job = ++lastJob;
    jobTask = task;
    chunksFinished.store(0, std::memory_order_relaxed);
    jobCursor.store(packCursor(job, chunkCount, 0), std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(poolMutex);
        postedJob = job;
        postedHelpers = helpers;
    }
    poolWake.notify_all();

    // The caller works too, so a helper that is slow to wake costs nothing but
    // its share; then it waits only for chunks already under way elsewhere.
    runClaimedChunks(job);
    const auto allReturned = [&] { return chunksFinished.load(std::memory_order_acquire) == chunkCount; };
    for (int spins = 0; spins < SPINS_BEFORE_SLEEP; ++spins) {
        if (allReturned())
            return;
        pauseBriefly();
    }
    std::unique_lock<std::mutex> lock(poolMutex);
    jobDone.wait(lock, allReturned);
}
