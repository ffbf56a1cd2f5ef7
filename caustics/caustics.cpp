#include "caustics/caustics.h"

#include <algorithm>

#include "app/state.h"
#include "caustics/frame_rows.h"
#include "caustics/geometry.h"
#include "caustics/workers.h"
#include "water/mesh.h"

int frameVectorUnit = 3;  // the widest unit the processor has

// Rows of grid cells per chunk of shared work: 29 chunks of a few tens of
// microseconds, so a core that another program holds up delays the frame by
// one chunk at most.
constexpr int ROWS_PER_CHUNK = 4;
constexpr int CHUNK_COUNT = (GRID_CELLS + ROWS_PER_CHUNK - 1) / ROWS_PER_CHUNK;

static float gridCoords[GRID];  // gridCoord(i) for every grid index
static FrameInputs frameInputs;  // the current frame's inputs, read by every thread
static void (*frameRows)(int, int, const FrameInputs &) = computeFrameRowsOneLane;

static void computeChunk(int chunk)
{
    const int first = chunk * ROWS_PER_CHUNK;
    frameRows(first, std::min(first + ROWS_PER_CHUNK, GRID_CELLS), frameInputs);
}

static void computeFrame(int storeShadeAndRatio)
{
    // The fast form relies on the fixed triangle order of the built mesh;
    // before the mesh exists there is nothing to compute.
    if (triangleCount != TRIANGLE_COUNT)
        return;
    for (int i = 0; i < GRID; ++i)
        gridCoords[i] = gridCoord(i);
    frameInputs = FrameInputs{lightX, lightY, lightZ, seabedZ, gridCoords, storeShadeAndRatio};
    if (frameVectorUnit >= 3 && frameRowsAvx512Usable())
        frameRows = computeFrameRowsAvx512;
    else if (frameVectorUnit >= 2 && frameRowsAvxUsable())
        frameRows = computeFrameRowsAvx;
    else if (frameVectorUnit >= 1)
        frameRows = computeFrameRowsSse2;
    else
        frameRows = computeFrameRowsOneLane;
    runFrameChunks(computeChunk, CHUNK_COUNT);
}

void computeCaustics()
{
    computeFrame(0);
}

static Point3 vertexPosition(int row, int col)
{
    return Point3{gridCoord(row), waterHeight[row][col], gridCoord(col)};
}

void computeShadeAndAreaRatio()
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.shade = static_cast<float>(t.lightDot / 10.0 * 0.85);
        const float surfaceArea = triangleArea(vertexPosition(t.vertexRow[0], t.vertexCol[0]),
                                               vertexPosition(t.vertexRow[1], t.vertexCol[1]),
                                               vertexPosition(t.vertexRow[2], t.vertexCol[2]));
        t.areaRatio = static_cast<float>(static_cast<double>(surfaceArea) / t.causticArea);
    }
}

void computeFrameValues()
{
    computeFrame(1);
}
