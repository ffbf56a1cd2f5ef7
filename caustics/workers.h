// A small, persistent pool of threads that shares the chunks of one frame's
// computation with the calling thread. The threads start the first time a
// frame needs them (never for a program path that computes no frame), sleep
// between frames, and are stopped and joined when the process exits.
#pragma once

constexpr int MAX_FRAME_THREADS = 8;  // most threads one frame is shared over, the caller included

extern int frameThreadCount;     // threads per frame, the caller included: 0 = one per processor (at most MAX_FRAME_THREADS), else 1 to MAX_FRAME_THREADS
extern int frameWorkersStarted;  // pool threads started so far, 0 to MAX_FRAME_THREADS - 1; only ever grows

// Runs task(c) once for every chunk c from 0 to chunkCount - 1, shared out
// between the caller and the pool, and returns when all have finished. The
// chunks must be independent of each other; which thread runs which chunk
// varies from call to call. One caller at a time; at most 65535 chunks.
void runFrameChunks(void (*task)(int chunk), int chunkCount);
