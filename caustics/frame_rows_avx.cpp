// The AVX form of a frame's computation: eight triangles per vector. This
// source alone is compiled for AVX (see CMakeLists.txt) and holds no code that
// runs before frameRowsAvxUsable(), built with the ordinary flags, has said
// that the processor and the system allow it.
// It includes no library header with inline functions of its own, so no
// AVX-compiled copy of a shared function can stand in for the ordinary one.
#include "caustics/frame_rows.h"

#if defined(__AVX__)
#include <immintrin.h>

#include "caustics/frame_kernel.h"

namespace {

struct AvxF {
    __m256 v;
};
struct AvxD {
    __m256d lo, hi;
};
inline AvxF operator+(AvxF a, AvxF b) { return {_mm256_add_ps(a.v, b.v)}; }
inline AvxF operator-(AvxF a, AvxF b) { return {_mm256_sub_ps(a.v, b.v)}; }
inline AvxF operator*(AvxF a, AvxF b) { return {_mm256_mul_ps(a.v, b.v)}; }
inline AvxF operator/(AvxF a, AvxF b) { return {_mm256_div_ps(a.v, b.v)}; }
inline AvxF operator-(AvxF a) { return {_mm256_xor_ps(a.v, _mm256_set1_ps(-0.0f))}; }
inline AvxD operator+(AvxD a, AvxD b) { return {_mm256_add_pd(a.lo, b.lo), _mm256_add_pd(a.hi, b.hi)}; }
inline AvxD operator-(AvxD a, AvxD b) { return {_mm256_sub_pd(a.lo, b.lo), _mm256_sub_pd(a.hi, b.hi)}; }
inline AvxD operator*(AvxD a, AvxD b) { return {_mm256_mul_pd(a.lo, b.lo), _mm256_mul_pd(a.hi, b.hi)}; }
inline AvxD operator/(AvxD a, AvxD b) { return {_mm256_div_pd(a.lo, b.lo), _mm256_div_pd(a.hi, b.hi)}; }
inline AvxD operator-(AvxD a)
{
    const __m256d sign = _mm256_set1_pd(-0.0);
    return {_mm256_xor_pd(a.lo, sign), _mm256_xor_pd(a.hi, sign)};
}

struct Avx {
    static constexpr int LANES = 8;
    using F = AvxF;
    using D = AvxD;
    static F load(const float *p) { return {_mm256_loadu_ps(p)}; }
    static F splat(float x) { return {_mm256_set1_ps(x)}; }
    static D splatD(double x) { return {_mm256_set1_pd(x), _mm256_set1_pd(x)}; }
    static void store(float *p, F a) { _mm256_storeu_ps(p, a.v); }
    static D widen(F a)
    {
        return {_mm256_cvtps_pd(_mm256_castps256_ps128(a.v)), _mm256_cvtps_pd(_mm256_extractf128_ps(a.v, 1))};
    }
    static F narrow(D a)
    {
        return {_mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(a.lo)), _mm256_cvtpd_ps(a.hi), 1)};
    }
    static F sqrt(F a) { return {_mm256_sqrt_ps(a.v)}; }
    static D sqrt(D a) { return {_mm256_sqrt_pd(a.lo), _mm256_sqrt_pd(a.hi)}; }
    // max returns its second operand when either is NaN, so NaN survives.
    static F atLeastZero(F a) { return {_mm256_max_ps(_mm256_setzero_ps(), a.v)}; }
};

}  // namespace

void computeFrameRowsAvx(int firstRow, int endRow, const FrameInputs &in)
{
    computeRows<Avx>(firstRow, endRow, in);
}

extern const int frameRowsAvxBuilt = 1;

#else

// Built without AVX (another architecture or compiler): the SSE2 form serves.
void computeFrameRowsAvx(int firstRow, int endRow, const FrameInputs &in)
{
    computeFrameRowsSse2(firstRow, endRow, in);
}

extern const int frameRowsAvxBuilt = 0;

#endif
