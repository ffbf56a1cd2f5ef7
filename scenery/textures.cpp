#include "scenery/textures.h"

#include <sys/stat.h>
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

static bool opens(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

// Anything under a texture's name in the working directory wins, even a file
// the loader will reject or cannot read, a directory or a dangling link: the
// user put it there on purpose, so its messages are shown rather than quietly
// replaced by the program's own copy. Only a name that is absent falls back.
std::string texturePath(const char *fileName)
{
    struct stat entry;
    if (lstat(fileName, &entry) == 0 || textureDirectory.empty())
        return fileName;
    const std::string shipped = textureDirectory + "/" + fileName;
    return opens(shipped) ? shipped : fileName;
}
