// The caustic pattern on the seabed and on the submerged box (GL layer).
#pragma once

// Draws every triangle's caustic image that the rules place, as one batch of
// additive light-blue triangles.
void drawCaustics();
