#include "caustics/workers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
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
// sleeps: about fifty microseconds, longer than being woken takes on some
// systems, so a helper that finishes a little after the caller (the other
// half of a wave step, say) does not cost a wake-up. Sleeping then frees its
// core, so a helper that another program has pushed off its own core can be
// moved over to finish.
constexpr int SPINS_BEFORE_SLEEP = 1000;

// The job on offer, claimed chunk by chunk with one compare-and-swap: bits 32
// and up hold the job's number, bits 16 to 31 its chunk count, bits 0 to 15 the
// next unclaimed chunk. A thread that wakes late for an old job sees another
// number and claims nothing, so it can never run a chunk of the wrong job.
static std::atomic<std::uint64_t> jobCursor{0};
static std::atomic<int> chunksFinished{0};  // chunks of the current job that have returned
static void (*jobTask)(int) = nullptr;      // written before the job is published, read after a claim
static std::atomic<int> offeredHelpers{0};  // pool threads wanted for the job in the cursor, written before it

// Sleeping and waking; guarded by poolMutex.
static std::mutex poolMutex;
static std::condition_variable poolWake;  // a job is posted, or the pool stops
static std::condition_variable jobDone;   // the last chunk of a job has returned
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

static void pauseBriefly()
{
#if defined(__SSE2__)
    _mm_pause();
#endif
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

// How long a pool thread that has finished its chunks keeps watching for the
// next job before it sleeps. Waking a sleeping thread takes tens of
// microseconds on some systems, as long as a whole wave step; jobs that
// follow each other closely (a wave step, then a frame, then the next step)
// then find their helpers awake. Beyond it, the core is given back.
constexpr auto WATCH_BEFORE_SLEEP = std::chrono::microseconds(200);

// Watches the job number in the cursor until it moves past `seen` or the
// watch runs out; returns the number then in the cursor.
static std::uint32_t watchForNextJob(std::uint32_t seen)
{
    const auto until = std::chrono::steady_clock::now() + WATCH_BEFORE_SLEEP;
    for (;;) {
        for (int spin = 0; spin < 32; ++spin) {
            const auto job = static_cast<std::uint32_t>(jobCursor.load(std::memory_order_acquire) >> 32);
            if (job != seen)
                return job;
            pauseBriefly();
        }
        if (std::chrono::steady_clock::now() >= until)
            return seen;
    }
}

static void workerLoop(int index)
{
    std::uint32_t seen = 0;
    for (;;) {
        if (seen != 0) {
            // A job seen while watching is joined straight away, without the
            // mutex the caller may still be holding to post it.
            const std::uint32_t job = watchForNextJob(seen);
            if (job != seen) {
                seen = job;
                if (index < offeredHelpers.load(std::memory_order_relaxed))
                    runClaimedChunks(job);
                continue;
            }
        }
        {
            // The job number is taken from the cursor, as when watching, so a
            // job already joined there is not taken up again.
            const auto cursorJob = [] {
                return static_cast<std::uint32_t>(jobCursor.load(std::memory_order_acquire) >> 32);
            };
            std::unique_lock<std::mutex> lock(poolMutex);
            poolWake.wait(lock, [&] { return stopping || cursorJob() != seen; });
            if (stopping)
                return;
            seen = cursorJob();
            if (index >= offeredHelpers.load(std::memory_order_relaxed))
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
    // Asked once: the count is read from a system file each time, which takes
    // microseconds, a sizeable share of a wave step shared over the pool.
    static const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, MAX_FRAME_THREADS);
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
    offeredHelpers.store(helpers, std::memory_order_relaxed);
    jobCursor.store(packCursor(job, chunkCount, 0), std::memory_order_release);
    {
        // Passing through the mutex after publishing the job orders the
        // publication before any sleeper's check of the cursor, so the wake
        // below cannot slip between a check and its sleep.
        std::lock_guard<std::mutex> lock(poolMutex);
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
