// The AVX form of a frame's computation: eight triangles per vector. This
// source alone is compiled for AVX (see CMakeLists.txt) and holds no code that
// runs before frameRowsAvxUsable(), built with the ordinary flags, has said
// that the processor and the system allow it. It includes no library header
// with inline functions of its own, so no AVX-compiled copy of a shared
// function can stand in for the ordinary one.
#include "caustics/frame_rows.h"

#if defined(__AVX__)

#include "caustics/frame_avx_types.h"

int computeFrameRowsAvx(int firstRow, int endRow, const FrameInputs &in)
{
    return computeRows<AvxFloat, AvxDouble>(firstRow, endRow, in);
}

extern const int frameRowsAvxBuilt = 1;

#else

// Built without AVX (another architecture or compiler): the SSE2 form serves.
int computeFrameRowsAvx(int firstRow, int endRow, const FrameInputs &in)
{
    return computeFrameRowsSse2(firstRow, endRow, in);
}

extern const int frameRowsAvxBuilt = 0;

#endif
