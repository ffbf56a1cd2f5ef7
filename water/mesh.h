// The water surface: three GRID x GRID row-major float grids (element (i, j) at
// [i][j]; row i runs along world x, column j along world z) and the fixed list
// of 26,912 triangles that tiles them, with the per-frame fields the caustic
// computation and the frame fill in.
#pragma once

#include "core/geometry.h"

constexpr int GRID = 117;                      // vertices per side of the water grid
constexpr int GRID_CELLS = GRID - 1;           // cells per side, 116
constexpr float CELL_SIZE = 39.0f / 116.0f;    // grid spacing, world units: the float nearest 39/116
constexpr double GRID_ORIGIN = -20.0;          // world x and z of vertex 0
constexpr int TRIANGLE_COUNT = 2 * GRID_CELLS * GRID_CELLS;  // 26,912: two per cell

extern float waterHeight[GRID][GRID];       // drawn height, the smoothed and clamped displacement, -0.5 to 0.5
extern float waveDisplacement[GRID][GRID];  // simulated displacement, world units, unbounded; stamps land here
extern float waveVelocity[GRID][GRID];      // displacement change per step, -5 to 5

// One water triangle; vertex k is grid vertex (vertexRow[k], vertexCol[k]).
struct WaterTriangle {
    int vertexRow[3];   // row index i of each vertex, fixed at start-up
    int vertexCol[3];   // column index j of each vertex, fixed at start-up
    float causticArea;  // area of the caustic image on the seabed, world units squared; per frame
    float areaRatio;    // surface area / causticArea; per frame
    float normal[3];    // unit normal of the surface triangle, y > 0
    float lightDot;     // normal . light position; per frame
    float shade;        // lightDot / 10 x 0.85; per frame
    float causticX[3];  // world x of each vertex's caustic point on the seabed; per frame
    float causticZ[3];  // world z of each vertex's caustic point on the seabed; per frame
};

extern WaterTriangle *waterTriangles;  // triangleCount records, allocated once, never freed
extern int triangleCount;              // 0 before the mesh is built, then TRIANGLE_COUNT

// World x (of a row) or z (of a column) of a grid index: index x CELL_SIZE - 20, rounded once to float.
float gridCoord(int index);

// World position of grid vertex (row, col) at its simulated height, without the view-level offset.
Point3 surfaceVertex(int row, int col);

// Zeroes the grids, allocates (once) and fills the triangle list, computes the
// normals. Returns 0 when the triangle list cannot be allocated, else 1.
int buildWaterMeshData();

// Recomputes the unit normal of every triangle from waterHeight.
void computeTriangleNormals();

// Assigns centre to waveDisplacement[row][col] and edge to its eight neighbours.
void stampDisplacement(int row, int col, float centre, float edge);

// Sets all three grids to 0.
void resetWaterGrids();
