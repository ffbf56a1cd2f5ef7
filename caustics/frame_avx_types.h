// The 256-bit vector types of a frame's computation, shared by the sources
// compiled for AVX and for AVX-512; include only from those. Internal linkage:
// each such source gets its own copy, compiled with its own flags.
#pragma once

#include <immintrin.h>

#include "caustics/frame_kernel.h"

namespace {

// Eight floats in one register; eight doubles in two.
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

// What both kinds share.
struct AvxFloats {
    static constexpr int LANES = 8;
    using F = AvxF;
    static F load(const float *p) { return {_mm256_loadu_ps(p)}; }
    static F splat(float x) { return {_mm256_set1_ps(x)}; }
    static void store(float *p, F a) { _mm256_storeu_ps(p, a.v); }
    static F sqrt(F a) { return {_mm256_sqrt_ps(a.v)}; }
    // max returns its second operand when either is NaN, so NaN survives.
    static F atLeastZero(F a) { return {_mm256_max_ps(_mm256_setzero_ps(), a.v)}; }
};

struct AvxFloat : AvxFloats {
    static constexpr bool SHARED_DIVISOR = true;
    using D = AvxF;
    static D splatD(double x) { return splat(static_cast<float>(x)); }
    static D widen(F a) { return a; }
    static F narrow(D a) { return a; }
    static F abs(F a) { return {_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v)}; }
    static F notAbove(F a, F b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_NGT_UQ)}; }
    static F orMask(F a, F b) { return {_mm256_or_ps(a.v, b.v)}; }
    static F reciprocalAbove(F a)
    {
        return {_mm256_mul_ps(_mm256_rcp_ps(a.v), _mm256_set1_ps(RECIPROCAL_ESTIMATE_MARGIN))};
    }
};

struct AvxDouble : AvxFloats {
    static constexpr bool SHARED_DIVISOR = false;
    using D = AvxD;
    using AvxFloats::sqrt;
    static D splatD(double x) { return {_mm256_set1_pd(x), _mm256_set1_pd(x)}; }
    static D widen(F a)
    {
        return {_mm256_cvtps_pd(_mm256_castps256_ps128(a.v)), _mm256_cvtps_pd(_mm256_extractf128_ps(a.v, 1))};
    }
    static F narrow(D a)
    {
        return {_mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(a.lo)), _mm256_cvtpd_ps(a.hi), 1)};
    }
    static D sqrt(D a) { return {_mm256_sqrt_pd(a.lo), _mm256_sqrt_pd(a.hi)}; }
};

}  // namespace
