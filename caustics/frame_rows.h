// The fast form of a frame's computation for whole rows of grid cells, built
// once per vector unit; caustics.cpp picks one and shares the rows out between
// threads. Every form stores exactly what the one-triangle-at-a-time formulas
// store, bit for bit.
#pragma once

// What a frame's computation reads besides waterHeight, taken once per frame.
struct FrameInputs {
    float lightX, lightY, lightZ;  // light position, world units
    float seabedZ;                 // world y of the seabed plane
    const float *coords;           // gridCoord(0) .. gridCoord(GRID - 1)
    int storeShadeAndRatio;        // 1: also write shade and areaRatio; 0: leave them alone
};

// Fills the per-frame fields of both triangles of every cell in rows firstRow
// to endRow - 1 of the grid, one lane of a vector per cell.
void computeFrameRowsOneLane(int firstRow, int endRow, const FrameInputs &in);  // any processor
void computeFrameRowsSse2(int firstRow, int endRow, const FrameInputs &in);     // 4 lanes; x86-64 has SSE2
void computeFrameRowsAvx(int firstRow, int endRow, const FrameInputs &in);      // 8 lanes; only where frameRowsAvxUsable()
void computeFrameRowsAvx512(int firstRow, int endRow, const FrameInputs &in);   // 8 lanes; only where frameRowsAvx512Usable()

extern const int frameRowsAvxBuilt;     // 1 when this build holds the AVX form, else 0
extern const int frameRowsAvx512Built;  // 1 when this build holds the AVX-512 form, else 0

// Nonzero when this build has the AVX form and the processor and the system run it.
int frameRowsAvxUsable();
int frameRowsAvx512Usable();
