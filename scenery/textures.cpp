#include "scenery/textures.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <iterator>

// The build derives this from its install rules, so the program finds its
// images wherever the installed tree (or an unpacked package) is put.
#ifndef CAUSTICS_INSTALLED_IMAGES
#error "CAUSTICS_INSTALLED_IMAGES must name the installed images' directory relative to the program's"
#endif

const char *const textureFiles[TEXTURE_COUNT] = {
#include "scenery/texture_files.inc"
};
// Counted on its own as well: a list one name short would otherwise leave
// the last slot a null name without a word from the compiler.
namespace {
constexpr const char *LISTED_FILES[] = {
#include "scenery/texture_files.inc"
};
}  // namespace
static_assert(std::size(LISTED_FILES) == TEXTURE_COUNT, "scenery/texture_files.inc must list one name per texture slot");

unsigned int textureIds[TEXTURE_COUNT];  // GL texture names; 0 until set up
std::string textureDirectory;            // the images that come with the program; "" until looked up

const char *const INSTALLED_IMAGE_DIRECTORY = CAUSTICS_INSTALLED_IMAGES;

// The directory of the running program with a trailing slash, or "" when it
// cannot be located. The tests declare it and imageDirectoryFor to check the
// lookup against directories of their own.
std::string programDirectory()
{
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return "";
    const std::string path(exe, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return path.substr(0, slash + 1);
}

static bool isDirectory(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The images that come with a program in programDir (with its trailing
// slash), or "". The build tree is looked at first: there the images lie
// beside the program, and an installed tree never has a data/ beside
// bin/caustics. Both are paths relative to the program, never to the install
// prefix the build was configured with, so a tree installed with another
// prefix or unpacked from the package anywhere still finds its own images.
std::string imageDirectoryFor(const std::string &programDir)
{
    if (programDir.empty())
        return "";
    for (const char *relative : {IMAGE_SUBDIRECTORY, INSTALLED_IMAGE_DIRECTORY}) {
        const std::string candidate = programDir + relative;
        if (isDirectory(candidate))
            return candidate;
    }
    return "";
}

std::string imageDirectoryBesideProgram() { return imageDirectoryFor(programDirectory()); }

// Whether the file can be opened for reading. Opened without waiting, so a
// pipe under an image's name does not stall start-up here.
static bool opens(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

// A file in the working directory that can be opened wins, even one the
// loader will reject: the user put it there on purpose, so its messages are
// shown rather than quietly replaced. One that cannot be opened there (absent,
// unreadable, a dangling link) is taken from the program's own images.
std::string texturePath(const char *fileName)
{
    if (opens(fileName) || textureDirectory.empty())
        return fileName;
    const std::string shipped = textureDirectory + "/" + fileName;
    return opens(shipped) ? shipped : fileName;
}
