// The texture table: fourteen scenery images, each loaded once at start-up
// into its own texture name. Which entries a scenery set uses for its pool
// floor, its reflection on the water, its walls and the box is the table
// SCENERY_SETS (scenery/scenery.h).
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

// The images that come with the running program: IMAGE_SUBDIRECTORY beside
// it if that is a directory (the build tree), else INSTALLED_IMAGE_DIRECTORY
// from its directory if that is one (an installed tree), else "".
std::string imageDirectoryBesideProgram();

// What to open for a texture file: the bare name if anything lies under it in
// the working directory, else the copy in textureDirectory if that opens, else
// the bare name.
std::string texturePath(const char *fileName);
