#include "water/waves.h"

#include <cstring>

#include "core/vectorize.h"
#include "water/mesh.h"

void (*frameDrawer)() = nullptr;  // draws one frame after each step; null draws nothing

static constexpr int FIRST = 1;        // first interior row and column
static constexpr int LAST = GRID - 2;  // last interior row and column, 115

// Every vertex is computed with exactly the operations, order and roundings of
// the plain formula -- each assignment in double, stored as a float -- so the
// result is the same whatever the vector width the compiler picks. Each
// displacement is converted to double, and weighted, once per row into a
// small buffer rather than once per neighbour that reads it: a float times 0.5
// is exact in double, and a weighted value is the same double whichever
// neighbour's sum it joins.

// The row loops run over a fixed, vector-friendly number of lanes, padded
// past the last interior column, so no row ends in a slow scalar remainder;
// the padding lanes compute from zeros and are never copied back.
static constexpr int LANES = 120;         // columns 1 to LANES are computed
static constexpr int PADDED = LANES + 8;  // row buffer length, covering column LANES + 1

// A row of D times weight, as doubles, padded with zeros.
static inline void widenRow(double *__restrict out, const float *__restrict row, double weight)
{
    for (int j = 0; j < GRID; ++j)
        out[j] = weight * row[j];
    for (int j = GRID; j < PADDED; ++j)
        out[j] = 0.0;
}

// Pass 1: velocities from the displacements left by the last step and the
// stamps since. It reads only D and writes only V, so the vertices of a row
// are independent of each other.
VECTOR_CLONES static void updateVelocities()
{
    alignas(64) double whole[3][PADDED];  // D of three consecutive rows
    alignas(64) double half[3][PADDED];   // 0.5 x the same
    alignas(64) float speedIn[PADDED] = {};
    alignas(64) float speedOut[PADDED];
    auto load = [&](int row) {
        widenRow(whole[row % 3], waveDisplacement[row], 1.0);
        widenRow(half[row % 3], waveDisplacement[row], WAVE_DIAGONAL_WEIGHT);
    };
    load(FIRST - 1);
    load(FIRST);
    for (int i = FIRST; i <= LAST; ++i) {
        load(i + 1);
        const double *__restrict up = whole[(i - 1) % 3];
        const double *__restrict mid = whole[i % 3];
        const double *__restrict down = whole[(i + 1) % 3];
        const double *__restrict halfUp = half[(i - 1) % 3];
        const double *__restrict halfDown = half[(i + 1) % 3];
        std::memcpy(speedIn, waveVelocity[i], sizeof waveVelocity[i]);
        for (int j = FIRST; j <= LANES; ++j) {
            float speed = static_cast<float>(speedIn[j] - mid[j] * WAVE_SPRING);
            const double s = mid[j - 1] + mid[j + 1] + down[j] + up[j] + halfDown[j - 1] + halfDown[j + 1] +
                             halfUp[j + 1] + halfUp[j - 1];
            speed = static_cast<float>(speed + WAVE_COUPLING * s);
            speed = static_cast<float>(speed * VELOCITY_DAMPING);
            speed = speed > MAX_WAVE_SPEED ? MAX_WAVE_SPEED : speed;
            speed = speed < -MAX_WAVE_SPEED ? -MAX_WAVE_SPEED : speed;
            speedOut[j] = speed;
        }
        std::memcpy(&waveVelocity[i][FIRST], &speedOut[FIRST], (LAST - FIRST + 1) * sizeof(float));
    }
}

// Pass 2: displacements in place, row by row, each height smoothed from the
// neighbours as the scan finds them: the row above and the vertex to the left
// already hold this step's values, the vertex to the right and the row below
// still hold the last step's. A row's new values are built apart first, so
// that the smoothing can still read the old value on the right, and copied in
// after it.
VECTOR_CLONES static void updateDisplacementsAndHeights()
{
    alignas(64) float oldRow[PADDED] = {};  // last step's D of the current row
    alignas(64) float speed[PADDED] = {};   // this step's V of the current row
    alignas(64) float fresh[PADDED];        // this step's D of the current row
    alignas(64) float height[PADDED];
    alignas(64) double edgeNew[2][PADDED];  // 0.1 x this step's D: current row, row above
    alignas(64) double cornerNew[PADDED];   // 0.05 x this step's D of the row above
    alignas(64) double edgeOld[2][PADDED];  // 0.1 x last step's D: current row, row below
    alignas(64) double cornerOld[PADDED];   // 0.05 x last step's D of the row below

    // Row 0 is never written: it is the row above row 1 in both steps.
    widenRow(edgeNew[0], waveDisplacement[0], SMOOTH_EDGE);
    widenRow(cornerNew, waveDisplacement[0], SMOOTH_CORNER);
    widenRow(edgeOld[FIRST & 1], waveDisplacement[FIRST], SMOOTH_EDGE);
    for (int i = FIRST; i <= LAST; ++i) {
        std::memcpy(oldRow, waveDisplacement[i], sizeof waveDisplacement[i]);
        std::memcpy(speed, waveVelocity[i], sizeof waveVelocity[i]);
        for (int j = 0; j < PADDED; ++j) {
            const float moved = static_cast<float>(static_cast<double>(oldRow[j]) + speed[j]);
            fresh[j] = static_cast<float>(moved * DISPLACEMENT_DAMPING);
        }
        // The border columns keep their values.
        fresh[0] = oldRow[0];
        for (int j = GRID - 1; j < PADDED; ++j)
            fresh[j] = oldRow[j];

        widenRow(edgeOld[(i + 1) & 1], waveDisplacement[i + 1], SMOOTH_EDGE);
        widenRow(cornerOld, waveDisplacement[i + 1], SMOOTH_CORNER);
        double *__restrict edgeFresh = edgeNew[i & 1];
        for (int j = 0; j < PADDED; ++j)
            edgeFresh[j] = SMOOTH_EDGE * fresh[j];

        const double *__restrict edgeHere = edgeOld[i & 1];
        const double *__restrict edgeBelow = edgeOld[(i + 1) & 1];
        const double *__restrict edgeAbove = edgeNew[(i - 1) & 1];
        const double *__restrict cornerAbove = cornerNew;
        const double *__restrict cornerBelow = cornerOld;
        for (int j = FIRST; j <= LANES; ++j) {
            float h = static_cast<float>(SMOOTH_CENTRE * fresh[j] + edgeAbove[j] + edgeBelow[j] + edgeHere[j + 1] +
                                         edgeFresh[j - 1] + cornerBelow[j + 1] + cornerAbove[j + 1] +
                                         cornerAbove[j - 1] + cornerBelow[j - 1]);
            h = h < -MAX_WATER_HEIGHT ? -MAX_WATER_HEIGHT : h;
            h = h > MAX_WATER_HEIGHT ? MAX_WATER_HEIGHT : h;
            height[j] = h;
        }
        for (int j = 0; j < PADDED; ++j)
            cornerNew[j] = SMOOTH_CORNER * fresh[j];
        std::memcpy(&waterHeight[i][FIRST], &height[FIRST], (LAST - FIRST + 1) * sizeof(float));
        std::memcpy(&waveDisplacement[i][FIRST], &fresh[FIRST], (LAST - FIRST + 1) * sizeof(float));
    }
}

void advanceWaves()
{
    updateVelocities();
    updateDisplacementsAndHeights();
}

void propagateWaves()
{
    advanceWaves();
    if (frameDrawer != nullptr)
        frameDrawer();
}
