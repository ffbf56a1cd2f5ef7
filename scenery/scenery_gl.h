// The GL layer of the scenery: what its _gl.cpp files draw and load with what
// the library decided.
#pragma once

// Decodes fileName and makes it the level-0 image of textureName, which stays
// bound; a rejected file makes no GL call. Returns the loader's result code.
int loadTgaTexture(const char *fileName, unsigned int textureName);

// Shade model, texture names, the fourteen images, the light-0 spot.
void setupTexturesAndLight();

// The textured pool floor at the seabed.
void drawPoolFloor();

// The box in its case and dressing.
void drawBox();
