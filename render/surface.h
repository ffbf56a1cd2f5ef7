// The water surface and the two backdrop walls (GL layer).
#pragma once

// With an environment: the sphere-mapped surface quads and the two walls;
// without: the surface triangles in translucent blue.
void drawWaterSurface();
