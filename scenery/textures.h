// The texture table: fourteen scenery images, each loaded once at start-up
// into its own texture name. Entries envIndex + 0, + 1, + 2 of a scenery set
// are its pool floor, its reflection on the water and its walls; 12 and 13
// dress the box.
#pragma once

#include <string>

constexpr int TEXTURE_COUNT = 14;  // texture files and texture names
constexpr int BOX_SPOTS_TEXTURE = 12;     // the box's dressing in scenery set 6
constexpr int BOX_ICE_TEXTURE = 13;       // the box's dressing in scenery set 9
constexpr const char *IMAGE_SUBDIRECTORY = "data";  // where the images lie beside the program in the build tree
// Where the installed images lie relative to the installed program's directory
// ("../share/caustics"), as the build's install rules put them.
extern const char *const INSTALLED_IMAGE_DIRECTORY;

extern const char *const textureFiles[TEXTURE_COUNT];  // file names (scenery/texture_files.inc), opened in the working directory
extern unsigned int textureIds[TEXTURE_COUNT];         // GL texture names; 0 until set up
extern std::string textureDirectory;  // the images that come with the program; "" until looked up

// The directory of the running program with a trailing slash, or "" when it cannot be located.
std::string programDirectory();

// The images that come with a program in programDir (with its trailing slash):
// IMAGE_SUBDIRECTORY there if it is a directory (the build tree), else
// INSTALLED_IMAGE_DIRECTORY from there if that is one (an installed tree),
// else "".
std::string imageDirectoryFor(const std::string &programDir);

// imageDirectoryFor(programDirectory()).
std::string imageDirectoryBesideProgram();

// What to open for a texture file: the bare name if anything lies under it in
// the working directory, else the copy in textureDirectory if that opens, else
// the bare name.
std::string texturePath(const char *fileName);
