#include "scenery/textures.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

const char *const textureFiles[TEXTURE_COUNT] = {
    "dirt.tga",   "boo2.tga",      "boo.tga",       // set 0: floor, reflection, walls
    "blue.tga",   "pinktrees2.tga", "pinktrees.tga", // set 3
    "bottom.tga", "cows2.tga",     "cows.tga",      // set 6
    "icebottom.tga", "snow2.tga",  "snow.tga",      // set 9
    "spots.tga",  "icecubes.tga",                   // the box in sets 6 and 9
};

unsigned int textureIds[TEXTURE_COUNT];  // GL texture names; 0 until set up
std::string textureDirectory;            // the images that come with the program; "" until looked up

std::string imageDirectoryBesideProgram()
{
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return "";
    const std::string path(exe, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return path.substr(0, slash + 1) + IMAGE_SUBDIRECTORY;
}

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
