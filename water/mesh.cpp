#include "water/mesh.h"

#include <cmath>
#include <cstdlib>

float waterHeight[GRID][GRID];       // drawn height, -0.5 to 0.5
float waveDisplacement[GRID][GRID];  // simulated displacement, unbounded
float waveVelocity[GRID][GRID];      // displacement change per step, -5 to 5

WaterTriangle *waterTriangles = nullptr;  // allocated once by buildWaterMeshData
int triangleCount = 0;                    // TRIANGLE_COUNT once built

float gridCoord(int index)
{
    return static_cast<float>(index * static_cast<double>(CELL_SIZE) + GRID_ORIGIN);
}

Point3 surfaceVertex(int row, int col)
{
    return Point3{gridCoord(row), waterHeight[row][col], gridCoord(col)};
}

void resetWaterGrids()
{
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j) {
            waterHeight[i][j] = 0.0f;
            waveVelocity[i][j] = 0.0f;
            waveDisplacement[i][j] = 0.0f;
        }
}

static void setTriangle(WaterTriangle &t, const int rows[3], const int cols[3])
{
    for (int k = 0; k < 3; ++k) {
        t.vertexRow[k] = rows[k];
        t.vertexCol[k] = cols[k];
        t.causticX[k] = static_cast<float>(rows[k]);
        t.causticZ[k] = static_cast<float>(cols[k]);
    }
}

int buildWaterMeshData()
{
    resetWaterGrids();

    if (waterTriangles == nullptr) {
        waterTriangles = static_cast<WaterTriangle *>(std::calloc(TRIANGLE_COUNT, sizeof(WaterTriangle)));
        if (waterTriangles == nullptr)
            return 0;
    }
    triangleCount = TRIANGLE_COUNT;

    // First the half of every cell with its right angle at (i, j), then the
    // half with its right angle at (i+1, j+1); both run clockwise seen from
    // above, so the negated cross product of their edges points up.
    WaterTriangle *t = waterTriangles;
    for (int i = 0; i < GRID_CELLS; ++i)
        for (int j = 0; j < GRID_CELLS; ++j) {
            const int rows[3] = {i, i + 1, i};
            const int cols[3] = {j, j, j + 1};
            setTriangle(*t++, rows, cols);
        }
    for (int i = 0; i < GRID_CELLS; ++i)
        for (int j = 1; j <= GRID_CELLS; ++j) {
            const int rows[3] = {i, i + 1, i + 1};
            const int cols[3] = {j, j - 1, j};
            setTriangle(*t++, rows, cols);
        }

    computeTriangleNormals();
    return 1;
}

void computeTriangleNormals()
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        const int i0 = t.vertexRow[0], j0 = t.vertexCol[0];
        const int i1 = t.vertexRow[1], j1 = t.vertexCol[1];
        const int i2 = t.vertexRow[2], j2 = t.vertexCol[2];
        const double h0 = waterHeight[i0][j0];

        // Horizontal edge components count one unit per cell, not CELL_SIZE:
        // the tilt the caustics see is exaggerated by about three.
        const float e1x = static_cast<float>(i1 - i0);
        const float e1y = static_cast<float>(waterHeight[i1][j1] - h0);
        const float e1z = static_cast<float>(j1 - j0);
        const float e2x = static_cast<float>(i2 - i0);
        const float e2y = static_cast<float>(waterHeight[i2][j2] - h0);
        const float e2z = static_cast<float>(j2 - j0);

        const float nx = static_cast<float>(static_cast<double>(e1y) * e2z - static_cast<double>(e1z) * e2y);
        const float ny = static_cast<float>(static_cast<double>(e1z) * e2x - static_cast<double>(e1x) * e2z);
        const float nz = static_cast<float>(static_cast<double>(e1x) * e2y - static_cast<double>(e1y) * e2x);
        const float len = static_cast<float>(
            std::sqrt(static_cast<double>(nx) * nx + static_cast<double>(ny) * ny + static_cast<double>(nz) * nz));

        t.normal[0] = static_cast<float>(-nx / static_cast<double>(len));
        t.normal[1] = static_cast<float>(-ny / static_cast<double>(len));
        t.normal[2] = static_cast<float>(-nz / static_cast<double>(len));
    }
}

void stampDisplacement(int row, int col, float centre, float edge)
{
    for (int i = row - 1; i <= row + 1; ++i)
        for (int j = col - 1; j <= col + 1; ++j)
            waveDisplacement[i][j] = edge;
    waveDisplacement[row][col] = centre;
}
