// One frame of the scene, drawn and presented (GL layer).
#pragma once

// Draws the whole scene for the current state and swaps the buffers.
void drawFrame();
