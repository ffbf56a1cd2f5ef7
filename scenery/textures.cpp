#include "scenery/textures.h"

const char *const textureFiles[TEXTURE_COUNT] = {
    "dirt.tga",   "boo2.tga",      "boo.tga",       // set 0: floor, reflection, walls
    "blue.tga",   "pinktrees2.tga", "pinktrees.tga", // set 3
    "bottom.tga", "cows2.tga",     "cows.tga",      // set 6
    "icebottom.tga", "snow2.tga",  "snow.tga",      // set 9
    "spots.tga",  "icecubes.tga",                   // the box in sets 6 and 9
};

unsigned int textureIds[TEXTURE_COUNT];  // GL texture names; 0 until set up
