// A probe for the real program, loaded with LD_PRELOAD by the end-to-end tests
// and the long runs (tools/soak.sh, tools/storm.sh). The program itself keeps
// no frame count, prints nothing for tests and has no options; what a test
// waits for, and the values it checks, are read from outside by this probe.
//
// Frames and input. It wraps glutSwapBuffers, which ends every drawn frame,
// and the key and mouse-button callbacks the program registers. After a frame
// it writes one line "FRAMES KEYS BUTTONS" to the file named by
// FRAME_COUNT_FILE (a whole new file put in place by a rename, so a reader
// never sees a line half written): the frames swapped so far, and the key presses and
// button events (presses and releases) the program had handled before that
// frame was drawn. The line is written after the first frame, after every
// FRAME_COUNT_EVERY-th (default 100) and after every frame that follows new
// input, and only once the X server has the frame, so a screenshot taken
// after reading it shows that frame or a later one. A test that has typed N
// keys and waits for a line with KEYS >= N therefore sees the effect of all
// N keys on screen, paused or not (every key asks for a redraw).
//
// Globals. On SIGUSR1 it copies the bytes of each global named in
// FRAME_DUMP_SYMBOLS (names separated by blanks) into the file
// FRAME_DUMP_DIR/NAME, then creates FRAME_DUMP_DIR/done. The copy is made
// in the program's idle callback, between two simulation steps and on the
// program's own thread, so it never sees a step half done; the idle callback
// runs while the waves are paused too. A global is found by name in the
// program's symbol table, with its size, so it works in every build type: no
// debug information is needed. A name the table does not hold is left out,
// and the missing file tells the test so.
//
// It allocates nothing (open, write, rename, mmap), so a heap profile of the
// program shows no allocation of its own under our drawing code.
#include <GL/glut.h>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long framesSwapped = 0;  // frames ended so far
long keysHandled = 0;    // key presses passed to the program's key callback
long buttonsHandled = 0; // button events passed to the program's mouse callback
long writtenKeys = -1, writtenButtons = -1;  // the input counts of the last line written
long writeEvery = 0;     // frames between two lines without new input; 0 until read
const char *countFile = nullptr;  // FRAME_COUNT_FILE; null when none
char countPart[4096];    // the same name with ".part" appended, written first

volatile std::sig_atomic_t dumpAsked = 0;  // set by SIGUSR1, cleared by the copy

void (*programKey)(unsigned char, int, int) = nullptr;
void (*programMouse)(int, int, int, int) = nullptr;
void (*programIdle)() = nullptr;

template <typename F>
F realFunction(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void openCountFile()
{
    const char *every = std::getenv("FRAME_COUNT_EVERY");
    writeEvery = every != nullptr && std::atol(every) > 0 ? std::atol(every) : 100;
    const char *name = std::getenv("FRAME_COUNT_FILE");
    if (name != nullptr && std::snprintf(countPart, sizeof countPart, "%s.part", name) < static_cast<int>(sizeof countPart))
        countFile = name;
}

// Writes n right-aligned in the 20 characters at text.
void putNumber(char *text, long n)
{
    for (int k = 19; k >= 0; --k) {
        text[k] = n > 0 || k == 19 ? static_cast<char>('0' + n % 10) : ' ';
        n /= 10;
    }
}

// Makes the X server take every request sent so far, the frame's image
// among them, before the line says the frame is there. Looked up by name:
// the program has the GL and X libraries loaded, the probe links neither.
void syncDisplay()
{
    static auto currentDisplay = reinterpret_cast<void *(*)()>(dlsym(RTLD_DEFAULT, "glXGetCurrentDisplay"));
    static auto xSync = reinterpret_cast<int (*)(void *, int)>(dlsym(RTLD_DEFAULT, "XSync"));
    if (currentDisplay == nullptr || xSync == nullptr)
        return;
    if (void *display = currentDisplay())
        xSync(display, 0);
}

void writeCounts()
{
    char text[63];
    putNumber(text, framesSwapped);
    putNumber(text + 21, keysHandled);
    putNumber(text + 42, buttonsHandled);
    text[20] = text[41] = ' ';
    text[62] = '\n';
    const int fd = open(countPart, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && write(fd, text, sizeof text) == static_cast<ssize_t>(sizeof text);
    if (fd >= 0)
        close(fd);
    if (!written || rename(countPart, countFile) != 0)
        countFile = nullptr;
    writtenKeys = keysHandled;
    writtenButtons = buttonsHandled;
}

// --- Globals of the program, by name, from its symbol table -----------------

struct Global {
    const void *address = nullptr;
    size_t size = 0;
};

// Load address of the program: 0 for a fixed-position executable, where its
// position-independent build was placed otherwise. The first object
// dl_iterate_phdr reports is the program itself.
int programBase(dl_phdr_info *info, size_t, void *base)
{
    *static_cast<ElfW(Addr) *>(base) = info->dlpi_addr;
    return 1;
}

// Looks name up among the object symbols of the program's file.
Global findGlobal(const char *name)
{
    Global found;
    const int fd = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return found;
    struct stat st;
    void *map = MAP_FAILED;
    if (fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) >= sizeof(ElfW(Ehdr)))
        map = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED)
        return found;
    const size_t length = static_cast<size_t>(st.st_size);
    const auto *bytes = static_cast<const unsigned char *>(map);
    const auto *header = static_cast<const ElfW(Ehdr) *>(map);
    const bool sane = std::memcmp(header->e_ident, ELFMAG, SELFMAG) == 0 &&
                      header->e_shentsize == sizeof(ElfW(Shdr)) &&
                      header->e_shoff + header->e_shnum * sizeof(ElfW(Shdr)) <= length;
    if (sane) {
        ElfW(Addr) base = 0;
        dl_iterate_phdr(programBase, &base);
        const auto *sections = reinterpret_cast<const ElfW(Shdr) *>(bytes + header->e_shoff);
        for (int s = 0; s < header->e_shnum && found.address == nullptr; ++s) {
            const ElfW(Shdr) &table = sections[s];
            if (table.sh_type != SHT_SYMTAB || table.sh_link >= header->e_shnum)
                continue;
            const ElfW(Shdr) &names = sections[table.sh_link];
            if (table.sh_offset + table.sh_size > length || names.sh_offset + names.sh_size > length)
                continue;
            const auto *symbols = reinterpret_cast<const ElfW(Sym) *>(bytes + table.sh_offset);
            const size_t count = table.sh_size / sizeof(ElfW(Sym));
            const char *strings = reinterpret_cast<const char *>(bytes + names.sh_offset);
            for (size_t k = 0; k < count; ++k) {
                const ElfW(Sym) &symbol = symbols[k];
                if (ELF64_ST_TYPE(symbol.st_info) != STT_OBJECT || symbol.st_name >= names.sh_size ||
                    std::strncmp(strings + symbol.st_name, name, names.sh_size - symbol.st_name) != 0)
                    continue;
                found.address = reinterpret_cast<const void *>(base + symbol.st_value);
                found.size = symbol.st_size;
                break;
            }
        }
    }
    munmap(map, length);
    return found;
}

void writeFile(const char *dir, const char *name, const void *data, size_t size)
{
    char path[4096];
    if (std::snprintf(path, sizeof path, "%s/%s", dir, name) >= static_cast<int>(sizeof path))
        return;
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n <= 0)
            break;
        p += n;
        size -= static_cast<size_t>(n);
    }
    close(fd);
}

void dumpGlobals()
{
    const char *dir = std::getenv("FRAME_DUMP_DIR");
    const char *list = std::getenv("FRAME_DUMP_SYMBOLS");
    if (dir == nullptr || list == nullptr)
        return;
    char name[256];
    for (const char *p = list; *p != '\0';) {
        while (*p == ' ')
            ++p;
        size_t n = 0;
        while (p[n] != '\0' && p[n] != ' ')
            ++n;
        if (n > 0 && n < sizeof name) {
            std::memcpy(name, p, n);
            name[n] = '\0';
            const Global global = findGlobal(name);
            if (global.address != nullptr)
                writeFile(dir, name, global.address, global.size);
        }
        p += n;
    }
    writeFile(dir, "done", "", 0);
}

// --- The program's callbacks, counted ---------------------------------------

void countedKey(unsigned char key, int x, int y)
{
    ++keysHandled;
    programKey(key, x, y);
}

void countedMouse(int button, int state, int x, int y)
{
    ++buttonsHandled;
    programMouse(button, state, x, y);
}

void idleWithDump()
{
    programIdle();
    if (dumpAsked != 0) {
        dumpAsked = 0;
        dumpGlobals();
    }
}

void askForDump(int)
{
    dumpAsked = 1;
}

}  // namespace

extern "C" void glutSwapBuffers()
{
    static auto real = realFunction<void (*)()>("glutSwapBuffers");
    real();
    if (writeEvery == 0)
        openCountFile();
    ++framesSwapped;
    if (countFile != nullptr && (framesSwapped == 1 || framesSwapped % writeEvery == 0 || keysHandled != writtenKeys ||
                           buttonsHandled != writtenButtons)) {
        syncDisplay();
        writeCounts();
    }
}

extern "C" void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    static auto real = realFunction<void (*)(void (*)(unsigned char, int, int))>("glutKeyboardFunc");
    programKey = callback;
    real(callback != nullptr ? countedKey : nullptr);
}

extern "C" void glutMouseFunc(void (*callback)(int, int, int, int))
{
    static auto real = realFunction<void (*)(void (*)(int, int, int, int))>("glutMouseFunc");
    programMouse = callback;
    real(callback != nullptr ? countedMouse : nullptr);
}

extern "C" void glutIdleFunc(void (*callback)())
{
    static auto real = realFunction<void (*)(void (*)())>("glutIdleFunc");
    // The program registers its idle callback once, before its main loop:
    // from then on a request can be served.
    struct sigaction action {};
    action.sa_handler = askForDump;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, nullptr);
    programIdle = callback;
    real(callback != nullptr ? idleWithDump : nullptr);
}
