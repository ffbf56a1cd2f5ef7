// The caustic computation: light from the point (lightX, lightY, lightZ) is
// refracted at every vertex of every water triangle and followed to the seabed
// plane y = seabedZ; the per-triangle results live in the WaterTriangle
// records. A frame also turns them into what it draws: flat arrays of drawn
// positions (view level included), colours and normals, in the order and with
// the values of the one-primitive-at-a-time drawing, which the GL layer hands
// over as they are.
//
// Every value is computed by the formulas as written, in double with each
// stored value rounded to float, so the records, and every drawing decision
// taken from them, are the same bits as a one-triangle-at-a-time evaluation.
// The compiler spreads the arithmetic over the widest vector unit the
// processor has; nothing here depends on which one.
#pragma once

#include "water/mesh.h"

constexpr float ETA = 1.000277f;  // refraction ratio of the surface, dimensionless

constexpr int SURFACE_QUADS = GRID_CELLS * GRID_CELLS;  // 13,456: one per grid cell
constexpr int QUAD_VERTICES = 4 * SURFACE_QUADS;        // each quad's four corners, drawn separately
// A triangle draws three vertices on the seabed or the box sides, and three
// more on the box top: at most six each.
constexpr int MAX_CAUSTIC_VERTICES = 6 * TRIANGLE_COUNT;

// --- What a frame draws, filled by computeFrameValues --------------------------------
extern float causticVertices[MAX_CAUSTIC_VERTICES][3];  // drawn caustic triangles, world x y z, in triangle order
extern float causticColors[MAX_CAUSTIC_VERTICES][4];    // r g b a of each vertex (its triangle's colour)
extern int causticVertexCount;                          // vertices in use, a multiple of 3; 0 while caustics are hidden
extern float gridVertices[GRID * GRID][3];              // drawn position of grid vertex (i, j) at [i * GRID + j]
extern const unsigned short *triangleIndices;           // 3 per water triangle, in list order, into gridVertices
extern float quadVertices[QUAD_VERTICES][3];            // reflecting surface: corners (i,j) (i+1,j) (i+1,j+1) (i,j+1) per cell, row-major
extern float quadNormals[QUAD_VERTICES][3];             // each quad's one unit normal, at its four corners
extern const float (*quadTexCoords)[2];                 // (row / 116, col / 116) of each corner; fixed

// Refreshes normal, lightDot, causticX, causticZ, causticArea, shade and
// areaRatio of every triangle from waterHeight, the light position and seabedZ.
void computeCaustics();

// Everything a frame computes before it draws: computeCaustics, then the
// caustic batch (while showCaustics), the drawn grid and, while the scenery
// is shown, the reflecting surface's quads. Nothing is allocated.
void computeFrameValues();
