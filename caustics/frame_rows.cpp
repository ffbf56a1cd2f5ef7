// The one-lane and the SSE2 forms of a frame's computation; built with the
// project's ordinary flags, so they run on every processor this build targets.
#include "caustics/frame_rows.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "caustics/frame_kernel.h"

namespace {

// --- One lane: plain float and double ----------------------------------------

struct OneF {
    float v;
};
struct OneD {
    double v;
};
inline OneF operator+(OneF a, OneF b) { return {a.v + b.v}; }
inline OneF operator-(OneF a, OneF b) { return {a.v - b.v}; }
inline OneF operator*(OneF a, OneF b) { return {a.v * b.v}; }
inline OneF operator/(OneF a, OneF b) { return {a.v / b.v}; }
inline OneF operator-(OneF a) { return {-a.v}; }
inline OneD operator+(OneD a, OneD b) { return {a.v + b.v}; }
inline OneD operator-(OneD a, OneD b) { return {a.v - b.v}; }
inline OneD operator*(OneD a, OneD b) { return {a.v * b.v}; }
inline OneD operator/(OneD a, OneD b) { return {a.v / b.v}; }
inline OneD operator-(OneD a) { return {-a.v}; }

struct OneLane {
    static constexpr int LANES = 1;
    using F = OneF;
    using D = OneD;
    static F load(const float *p) { return {*p}; }
    static F splat(float x) { return {x}; }
    static D splatD(double x) { return {x}; }
    static void store(float *p, F a) { *p = a.v; }
    static D widen(F a) { return {a.v}; }
    static F narrow(D a) { return {static_cast<float>(a.v)}; }
    static F sqrt(F a) { return {std::sqrt(a.v)}; }
    static D sqrt(D a) { return {std::sqrt(a.v)}; }
    static F atLeastZero(F a) { return {a.v < 0.0f ? 0.0f : a.v}; }
};

#if defined(__SSE2__)

// --- SSE2: four floats, four doubles in two registers --------------------------

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

struct Sse2 {
    static constexpr int LANES = 4;
    using F = Sse2F;
    using D = Sse2D;
    static F load(const float *p) { return {_mm_loadu_ps(p)}; }
    static F splat(float x) { return {_mm_set1_ps(x)}; }
    static D splatD(double x) { return {_mm_set1_pd(x), _mm_set1_pd(x)}; }
    static void store(float *p, F a) { _mm_storeu_ps(p, a.v); }
    static D widen(F a) { return {_mm_cvtps_pd(a.v), _mm_cvtps_pd(_mm_movehl_ps(a.v, a.v))}; }
    static F narrow(D a) { return {_mm_movelh_ps(_mm_cvtpd_ps(a.lo), _mm_cvtpd_ps(a.hi))}; }
    static F sqrt(F a) { return {_mm_sqrt_ps(a.v)}; }
    static D sqrt(D a) { return {_mm_sqrt_pd(a.lo), _mm_sqrt_pd(a.hi)}; }
    // max returns its second operand when either is NaN, so NaN survives.
    static F atLeastZero(F a) { return {_mm_max_ps(_mm_setzero_ps(), a.v)}; }
};

#endif

}  // namespace

void computeFrameRowsOneLane(int firstRow, int endRow, const FrameInputs &in)
{
    computeRows<OneLane>(firstRow, endRow, in);
}

void computeFrameRowsSse2(int firstRow, int endRow, const FrameInputs &in)
{
#if defined(__SSE2__)
    computeRows<Sse2>(firstRow, endRow, in);
#else
    computeRows<OneLane>(firstRow, endRow, in);
#endif
}

int frameRowsAvxUsable()
{
#if defined(__x86_64__) || defined(__i386__)
    // The check includes the system's saving of the wide registers.
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
