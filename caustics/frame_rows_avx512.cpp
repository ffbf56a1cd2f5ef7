// The AVX-512 form of a frame's computation: eight triangles per vector, their
// floats in a 256-bit register and their doubles in one 512-bit register, so
// that widening and narrowing are one instruction each. This source alone is
// compiled for AVX-512 (see CMakeLists.txt) and holds no code that runs before
// frameRowsAvx512Usable(), built with the ordinary flags, has said that the
// processor and the system allow it. It includes no library header with inline
// functions of its own, so no AVX-512 copy of a shared function can stand in
// for the ordinary one.
#include "caustics/frame_rows.h"

#if defined(__AVX512F__)
#include <immintrin.h>

// GCC's 512-bit intrinsics start from a deliberately undefined register that
// its own uninitialised-value warnings then flag wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "caustics/frame_kernel.h"

namespace {

struct Avx512F {
    __m256 v;
};
struct Avx512D {
    __m512d v;
};
inline Avx512F operator+(Avx512F a, Avx512F b) { return {_mm256_add_ps(a.v, b.v)}; }
inline Avx512F operator-(Avx512F a, Avx512F b) { return {_mm256_sub_ps(a.v, b.v)}; }
inline Avx512F operator*(Avx512F a, Avx512F b) { return {_mm256_mul_ps(a.v, b.v)}; }
inline Avx512F operator/(Avx512F a, Avx512F b) { return {_mm256_div_ps(a.v, b.v)}; }
inline Avx512F operator-(Avx512F a) { return {_mm256_xor_ps(a.v, _mm256_set1_ps(-0.0f))}; }
inline Avx512D operator+(Avx512D a, Avx512D b) { return {_mm512_add_pd(a.v, b.v)}; }
inline Avx512D operator-(Avx512D a, Avx512D b) { return {_mm512_sub_pd(a.v, b.v)}; }
inline Avx512D operator*(Avx512D a, Avx512D b) { return {_mm512_mul_pd(a.v, b.v)}; }
inline Avx512D operator/(Avx512D a, Avx512D b) { return {_mm512_div_pd(a.v, b.v)}; }
inline Avx512D operator-(Avx512D a)
{
    const __m512i sign = _mm512_castpd_si512(_mm512_set1_pd(-0.0));
    return {_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a.v), sign))};
}

struct Avx512 {
    static constexpr int LANES = 8;
    using F = Avx512F;
    using D = Avx512D;
    static F load(const float *p) { return {_mm256_loadu_ps(p)}; }
    static F splat(float x) { return {_mm256_set1_ps(x)}; }
    static D splatD(double x) { return {_mm512_set1_pd(x)}; }
    static void store(float *p, F a) { _mm256_storeu_ps(p, a.v); }
    static D widen(F a) { return {_mm512_cvtps_pd(a.v)}; }
    static F narrow(D a) { return {_mm512_cvtpd_ps(a.v)}; }
    static F sqrt(F a) { return {_mm256_sqrt_ps(a.v)}; }
    static D sqrt(D a) { return {_mm512_sqrt_pd(a.v)}; }
    // max returns its second operand when either is NaN, so NaN survives.
    static F atLeastZero(F a) { return {_mm256_max_ps(_mm256_setzero_ps(), a.v)}; }
};

}  // namespace

void computeFrameRowsAvx512(int firstRow, int endRow, const FrameInputs &in)
{
    computeRows<Avx512>(firstRow, endRow, in);
}

extern const int frameRowsAvx512Built = 1;

#else

// Built without AVX-512 (another architecture or compiler): the AVX form serves.
void computeFrameRowsAvx512(int firstRow, int endRow, const FrameInputs &in)
{
    computeFrameRowsAvx(firstRow, endRow, in);
}

extern const int frameRowsAvx512Built = 0;

#endif
