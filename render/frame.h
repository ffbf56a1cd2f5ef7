// One frame of the scene, drawn and presented (GL layer).
#pragma once

// Draws the whole scene for the current state and swaps the buffers.
void drawFrame();

// The droplet drawer the droplet update calls (installed at start-up): the
// droplet's colour, then a solid sphere of 10 x 10 facets at its position.
void drawDropletSphere(const float color[3], const float position[3], double radius);
