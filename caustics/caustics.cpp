#include "caustics/caustics.h"

#include <algorithm>
#include <cmath>

#include "app/state.h"
#include "caustics/frame_rows.h"
#include "caustics/geometry.h"
#include "caustics/workers.h"
#include "water/mesh.h"

int frameVectorUnit = 3;       // the widest unit the processor has
int frameDoubleOnly = 0;       // float where that decides the same
int frameTrianglesRedone = 0;  // none before the first computation

// Rows of grid cells per chunk of shared work: 29 chunks of a few tens of
// microseconds, so a core that another program holds up delays the frame by
// one chunk at most.
constexpr int ROWS_PER_CHUNK = 4;
constexpr int CHUNK_COUNT = (GRID_CELLS + ROWS_PER_CHUNK - 1) / ROWS_PER_CHUNK;

static float gridCoords[GRID];  // gridCoord(i) for every grid index
static FrameInputs frameInputs;  // the current frame's inputs, read by every thread
static int (*frameRows)(int, int, const FrameInputs &) = computeFrameRowsOneLane;
static int chunkRedone[CHUNK_COUNT];  // triangles each chunk computed in double

static void computeChunk(int chunk)
{
    const int first = chunk * ROWS_PER_CHUNK;
    chunkRedone[chunk] = frameRows(first, std::min(first + ROWS_PER_CHUNK, GRID_CELLS), frameInputs);
}

static void computeFrame(int storeShadeAndRatio)
{
    // The fast form relies on the fixed triangle order of the built mesh;
    // before the mesh exists there is nothing to compute.
    if (triangleCount != TRIANGLE_COUNT)
        return;
    for (int i = 0; i < GRID; ++i)
        gridCoords[i] = gridCoord(i);
    // The light's direction from the origin, as the drawing of the caustics
    // takes it for the brightness.
    const float len = static_cast<float>(std::sqrt(static_cast<double>(lightX) * lightX +
                                                   static_cast<double>(lightY) * lightY +
                                                   static_cast<double>(lightZ) * lightZ));
    frameInputs = FrameInputs{lightX,
                              lightY,
                              lightZ,
                              static_cast<float>(lightX / static_cast<double>(len)),
                              static_cast<float>(lightY / static_cast<double>(len)),
                              static_cast<float>(lightZ / static_cast<double>(len)),
                              seabedZ,
                              gridCoords,
                              storeShadeAndRatio,
                              frameDoubleOnly};
    if (frameVectorUnit >= 3 && frameRowsAvx512Usable())
        frameRows = computeFrameRowsAvx512;
    else if (frameVectorUnit >= 2 && frameRowsAvxUsable())
        frameRows = computeFrameRowsAvx;
    else if (frameVectorUnit >= 1)
        frameRows = computeFrameRowsSse2;
    else
        frameRows = computeFrameRowsOneLane;
    runFrameChunks(computeChunk, CHUNK_COUNT);
    frameTrianglesRedone = 0;
    for (int redone : chunkRedone)
        frameTrianglesRedone += redone;
}

void computeCaustics()
{
    computeFrame(0);
}

Point3 surfaceVertex(int row, int col)
{
    return Point3{gridCoord(row), waterHeight[row][col], gridCoord(col)};
}

void computeShadeAndAreaRatio()
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.shade = static_cast<float>(t.lightDot / 10.0 * 0.85);
        const float surfaceArea = triangleArea(surfaceVertex(t.vertexRow[0], t.vertexCol[0]),
                                               surfaceVertex(t.vertexRow[1], t.vertexCol[1]),
                                               surfaceVertex(t.vertexRow[2], t.vertexCol[2]));
        t.areaRatio = static_cast<float>(static_cast<double>(surfaceArea) / t.causticArea);
    }
}

void computeFrameValues()
{
    computeFrame(1);
}
