// The one-lane and the SSE2 forms of a frame's computation; built with the
// project's ordinary flags, so they run on every processor this build targets.
#include "caustics/frame_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "caustics/frame_kernel.h"

namespace {

#if defined(__SSE2__)

// Four floats in one register; four doubles in two.
struct Sse2F {
    __m128 v;
};
struct Sse2D {
    __m128d lo, hi;
};
inline Sse2F operator+(Sse2F a, Sse2F b) { return {_mm_add_ps(a.v, b.v)}; }
inline Sse2F operator-(Sse2F a, Sse2F b) { return {_mm_sub_ps(a.v, b.v)}; }
inline Sse2F operator*(Sse2F a, Sse2F b) { return {_mm_mul_ps(a.v, b.v)}; }
inline Sse2F operator/(Sse2F a, Sse2F b) { return {_mm_div_ps(a.v, b.v)}; }
inline Sse2F operator-(Sse2F a) { return {_mm_xor_ps(a.v, _mm_set1_ps(-0.0f))}; }
inline Sse2D operator+(Sse2D a, Sse2D b) { return {_mm_add_pd(a.lo, b.lo), _mm_add_pd(a.hi, b.hi)}; }
inline Sse2D operator-(Sse2D a, Sse2D b) { return {_mm_sub_pd(a.lo, b.lo), _mm_sub_pd(a.hi, b.hi)}; }
inline Sse2D operator*(Sse2D a, Sse2D b) { return {_mm_mul_pd(a.lo, b.lo), _mm_mul_pd(a.hi, b.hi)}; }
inline Sse2D operator/(Sse2D a, Sse2D b) { return {_mm_div_pd(a.lo, b.lo), _mm_div_pd(a.hi, b.hi)}; }
inline Sse2D operator-(Sse2D a)
{
    const __m128d sign = _mm_set1_pd(-0.0);
    return {_mm_xor_pd(a.lo, sign), _mm_xor_pd(a.hi, sign)};
}

// What both kinds share.
struct Sse2Floats {
    static constexpr int LANES = 4;
    using F = Sse2F;
    static F load(const float *p) { return {_mm_loadu_ps(p)}; }
    static F splat(float x) { return {_mm_set1_ps(x)}; }
    static void store(float *p, F a) { _mm_storeu_ps(p, a.v); }
    static F sqrt(F a) { return {_mm_sqrt_ps(a.v)}; }
    // max returns its second operand when either is NaN, so NaN survives.
    static F atLeastZero(F a) { return {_mm_max_ps(_mm_setzero_ps(), a.v)}; }
};

struct Sse2Float : Sse2Floats {
    static constexpr bool SHARED_DIVISOR = true;
    using D = Sse2F;
    static D splatD(double x) { return splat(static_cast<float>(x)); }
    static D widen(F a) { return a; }
    static F narrow(D a) { return a; }
    static F abs(F a) { return {_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v)}; }
    static F notAbove(F a, F b) { return {_mm_cmpngt_ps(a.v, b.v)}; }
    static F orMask(F a, F b) { return {_mm_or_ps(a.v, b.v)}; }
    static F reciprocalAbove(F a) { return {_mm_mul_ps(_mm_rcp_ps(a.v), _mm_set1_ps(RECIPROCAL_ESTIMATE_MARGIN))}; }
};

struct Sse2Double : Sse2Floats {
    static constexpr bool SHARED_DIVISOR = false;
    using D = Sse2D;
    using Sse2Floats::sqrt;
    static D splatD(double x) { return {_mm_set1_pd(x), _mm_set1_pd(x)}; }
    static D widen(F a) { return {_mm_cvtps_pd(a.v), _mm_cvtps_pd(_mm_movehl_ps(a.v, a.v))}; }
    static F narrow(D a) { return {_mm_movelh_ps(_mm_cvtpd_ps(a.lo), _mm_cvtpd_ps(a.hi))}; }
    static D sqrt(D a) { return {_mm_sqrt_pd(a.lo), _mm_sqrt_pd(a.hi)}; }
};

#endif

}  // namespace

int computeFrameRowsOneLane(int firstRow, int endRow, const FrameInputs &in)
{
    return computeRows<OneLaneFloat, OneLaneDouble>(firstRow, endRow, in);
}

int computeFrameRowsSse2(int firstRow, int endRow, const FrameInputs &in)
{
#if defined(__SSE2__)
    return computeRows<Sse2Float, Sse2Double>(firstRow, endRow, in);
#else
    return computeFrameRowsOneLane(firstRow, endRow, in);
#endif
}

// The checks include the system's saving of the wide registers.
int frameRowsAvxUsable()
{
#if defined(__x86_64__) || defined(__i386__)
    return frameRowsAvxBuilt && __builtin_cpu_supports("avx") ? 1 : 0;
#else
    return 0;
#endif
}

int frameRowsAvx512Usable()
{
#if defined(__x86_64__) || defined(__i386__)
    return frameRowsAvx512Built && __builtin_cpu_supports("avx512f") ? 1 : 0;
#else
    return 0;
#endif
}
