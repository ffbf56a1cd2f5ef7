// The fast form of a frame's computation for whole rows of grid cells, built
// once per vector unit; caustics.cpp picks one and shares the rows out between
// threads. Every form makes the same drawing decisions as the one-triangle-
// at-a-time formulas in double (see frame_kernel.h), and all forms store the
// same values, bit for bit.
#pragma once

// What a frame's computation reads besides waterHeight, taken once per frame.
struct FrameInputs {
    float lightX, lightY, lightZ;            // light position, world units
    float lightUnitX, lightUnitY, lightUnitZ;  // the light position scaled to length 1, as the drawing takes it
    float seabedZ;                           // world y of the seabed plane
    const float *coords;                     // gridCoord(0) .. gridCoord(GRID - 1)
    int storeShadeAndRatio;                  // 1: also write shade and areaRatio; 0: leave them alone
    int doubleOnly;                          // 1: every triangle in double; 0: float, double where needed
};

// Fills the per-frame fields of both triangles of every cell in rows firstRow
// to endRow - 1 of the grid; returns how many triangles it computed in double.
int computeFrameRowsOneLane(int firstRow, int endRow, const FrameInputs &in);  // any processor
int computeFrameRowsSse2(int firstRow, int endRow, const FrameInputs &in);     // 4 lanes; x86-64 has SSE2
int computeFrameRowsAvx(int firstRow, int endRow, const FrameInputs &in);      // 8 lanes; only where frameRowsAvxUsable()
int computeFrameRowsAvx512(int firstRow, int endRow, const FrameInputs &in);   // 8 lanes, doubles in 512 bits; only where frameRowsAvx512Usable()

extern const int frameRowsAvxBuilt;     // 1 when this build holds the AVX form, else 0
extern const int frameRowsAvx512Built;  // 1 when this build holds the AVX-512 form, else 0

// Nonzero when this build has that form and the processor and the system run it.
int frameRowsAvxUsable();
int frameRowsAvx512Usable();
