// A measuring harness for the real program, loaded with LD_PRELOAD by
// tools/fps.sh: it wraps the few GL calls that mark the phases of a frame and
// times them, so the program itself keeps no clock and has no options.
//
//   glClear ........ a frame starts
//   gluLookAt ...... the camera is set; the frame's computation starts on return
//   glDisable / glPolygonMode: the first call after the computation; drawing starts
//   glutSwapBuffers  the frame ends on return
//
// Time from the end of one frame to the start of the next is the idle step
// (rain, box, wave step). After FPS_FRAMES frames (default 500) following
// FPS_WARMUP (default 50) it prints a summary on standard error and ends the
// process with status 0.
#include <GL/glut.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    long frames = 0;         // frames measured so far, after the warm-up
    long warmup = -1;        // frames still to skip
    long target = 0;         // frames to measure
    bool inCompute = false;  // between gluLookAt and the first drawing call
    Clock::time_point frameStart, computeStart, lastSwap, firstStart;
    double computeSeconds = 0, drawSeconds = 0, idleSeconds = 0;
} timing;

long envLong(const char *name, long fallback)
{
    const char *value = std::getenv(name);
    return value ? std::atol(value) : fallback;
}

template <typename F>
F realFunction(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void endCompute()
{
    if (!timing.inCompute)
        return;
    timing.inCompute = false;
    if (timing.warmup == 0)
        timing.computeSeconds += std::chrono::duration<double>(Clock::now() - timing.computeStart).count();
}

void report()
{
    const double total = std::chrono::duration<double>(timing.lastSwap - timing.firstStart).count();
    const double frameMs = 1000.0 * total / timing.frames;
    std::fprintf(stderr,
                 "frames: %ld in %.2f s: %.1f frames per second, %.2f ms per frame\n"
                 "  our computation per frame (caustics and what is drawn):  %.3f ms (%.1f%%)\n"
                 "  simulation step between frames (rain, box, waves):       %.3f ms (%.1f%%)\n"
                 "  drawing and presenting:                                  %.3f ms (%.1f%%)\n",
                 timing.frames, total, timing.frames / total, frameMs,
                 1000.0 * timing.computeSeconds / timing.frames, 100.0 * timing.computeSeconds / total,
                 1000.0 * timing.idleSeconds / timing.frames, 100.0 * timing.idleSeconds / total,
                 1000.0 * timing.drawSeconds / timing.frames, 100.0 * timing.drawSeconds / total);
}

}  // namespace

extern "C" {

void glClear(GLbitfield mask)
{
    static auto real = realFunction<void (*)(GLbitfield)>("glClear");
    if (timing.warmup < 0) {
        timing.warmup = envLong("FPS_WARMUP", 50);
        timing.target = envLong("FPS_FRAMES", 500);
    }
    timing.frameStart = Clock::now();
    if (timing.warmup == 0) {
        if (timing.frames == 0)
            timing.firstStart = timing.frameStart;
        else
            timing.idleSeconds += std::chrono::duration<double>(timing.frameStart - timing.lastSwap).count();
    }
    real(mask);
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz, GLdouble ux, GLdouble uy,
               GLdouble uz)
{
    static auto real = realFunction<void (*)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                                             GLdouble, GLdouble)>("gluLookAt");
    real(ex, ey, ez, cx, cy, cz, ux, uy, uz);
    timing.inCompute = true;
    timing.computeStart = Clock::now();
}

void glDisable(GLenum cap)
{
    static auto real = realFunction<void (*)(GLenum)>("glDisable");
    endCompute();
    real(cap);
}

void glPolygonMode(GLenum face, GLenum mode)
{
    static auto real = realFunction<void (*)(GLenum, GLenum)>("glPolygonMode");
    endCompute();
    real(face, mode);
}

void glutSwapBuffers()
{
    static auto real = realFunction<void (*)()>("glutSwapBuffers");
    real();
    const Clock::time_point now = Clock::now();
    if (timing.warmup > 0) {
        --timing.warmup;
        timing.lastSwap = now;
        return;
    }
    timing.lastSwap = now;
    // Drawing is the frame less its computation; the computation of this
    // frame was added by endCompute.
    static double computedBefore = 0;
    const double frameSeconds = std::chrono::duration<double>(now - timing.frameStart).count();
    timing.drawSeconds += frameSeconds - (timing.computeSeconds - computedBefore);
    computedBefore = timing.computeSeconds;
    if (++timing.frames >= timing.target) {
        report();
        std::exit(0);
    }
}

}  // extern "C"
