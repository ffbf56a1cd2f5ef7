// A frame counter for long runs of the real program, loaded with LD_PRELOAD
// by tools/soak.sh and the soak check: it wraps glutSwapBuffers, which ends
// every drawn frame, and every FRAME_COUNT_EVERY frames (default 100) writes
// the count so far, as decimal text, over the start of the file named by
// FRAME_COUNT_FILE. The program itself keeps no frame count and has no
// options, and it goes on running: the counter never ends the process.
//
// It allocates nothing (only open and pwrite), so a heap profile of the
// program shows no allocation of its own under our drawing code.
#include <GL/glut.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace {

long framesSwapped = 0;  // frames ended so far
long writeEvery = 0;     // frames between two writes of the count; 0 until read
int countFile = -1;      // descriptor of FRAME_COUNT_FILE; -1 when none

void openCountFile()
{
    const char *every = std::getenv("FRAME_COUNT_EVERY");
    writeEvery = every != nullptr && std::atol(every) > 0 ? std::atol(every) : 100;
    const char *name = std::getenv("FRAME_COUNT_FILE");
    if (name != nullptr)
        countFile = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

// The count padded to a fixed width, so a shorter number never leaves the
// tail of a longer one behind and a reader never sees a half-written file.
void writeCount()
{
    char text[21];
    long n = framesSwapped;
    for (int k = 19; k >= 0; --k) {
        text[k] = n > 0 || k == 19 ? static_cast<char>('0' + n % 10) : ' ';
        n /= 10;
    }
    text[20] = '\n';
    if (pwrite(countFile, text, sizeof text, 0) != static_cast<ssize_t>(sizeof text))
        countFile = -1;
}

}  // namespace

extern "C" void glutSwapBuffers()
{
    static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    real();
    if (writeEvery == 0)
        openCountFile();
    ++framesSwapped;
    if (countFile >= 0 && (framesSwapped == 1 || framesSwapped % writeEvery == 0))
        writeCount();
}
