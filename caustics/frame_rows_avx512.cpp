// The AVX-512 form of a frame's computation: the float kind as in the AVX
// form, eight triangles per 256-bit vector, and the double kind with its eight
// doubles in one 512-bit register, so that widening and narrowing are one
// instruction each. (Sixteen floats per 512-bit vector measured no faster:
// the divisions and square roots bound the float kind, and they take as long
// per lane at either width.) This source alone is compiled for AVX-512 (see
// CMakeLists.txt) and holds no code that runs before frameRowsAvx512Usable(),
// built with the ordinary flags, has said that the processor and the system
// allow it. It includes no library header with inline functions of its own,
// so no AVX-512 copy of a shared function can stand in for the ordinary one.
#include "caustics/frame_rows.h"

#if defined(__AVX512F__)

// GCC's 512-bit intrinsics start from a deliberately undefined register that
// its own uninitialised-value warnings then flag wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "caustics/frame_avx_types.h"

namespace {

// Eight doubles in one 512-bit register.
struct WideD {
    __m512d v;
};
inline WideD operator+(WideD a, WideD b) { return {_mm512_add_pd(a.v, b.v)}; }
inline WideD operator-(WideD a, WideD b) { return {_mm512_sub_pd(a.v, b.v)}; }
inline WideD operator*(WideD a, WideD b) { return {_mm512_mul_pd(a.v, b.v)}; }
inline WideD operator/(WideD a, WideD b) { return {_mm512_div_pd(a.v, b.v)}; }
inline WideD operator-(WideD a)
{
    const __m512i sign = _mm512_castpd_si512(_mm512_set1_pd(-0.0));
    return {_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a.v), sign))};
}

struct Avx512Double : AvxFloats {
    static constexpr bool SHARED_DIVISOR = false;
    using D = WideD;
    using AvxFloats::sqrt;
    static D splatD(double x) { return {_mm512_set1_pd(x)}; }
    static D widen(F a) { return {_mm512_cvtps_pd(a.v)}; }
    static F narrow(D a) { return {_mm512_cvtpd_ps(a.v)}; }
    static D sqrt(D a) { return {_mm512_sqrt_pd(a.v)}; }
};

}  // namespace

int computeFrameRowsAvx512(int firstRow, int endRow, const FrameInputs &in)
{
    return computeRows<AvxFloat, Avx512Double>(firstRow, endRow, in);
}

extern const int frameRowsAvx512Built = 1;

#else

// Built without AVX-512 (another architecture or compiler): the AVX form serves.
int computeFrameRowsAvx512(int firstRow, int endRow, const FrameInputs &in)
{
    return computeFrameRowsAvx(firstRow, endRow, in);
}

extern const int frameRowsAvx512Built = 0;

#endif
