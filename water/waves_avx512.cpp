// The wave step for processors with AVX-512: the same two passes as the
// portable step, eight vertices per vector, each lane doing exactly the plain
// formula's operations in the same order with the same roundings, so the two
// agree bit for bit.
//
// What makes it fast:
// - the passes are interleaved by rows: row r + 1's velocities are computed
//   just before row r's displacements, when rows r to r + 2 still hold last
//   step's displacements, so each row of D is converted to double (and
//   weighted) once per step, into a ring of three row buffers;
// - the left and right neighbours of eight columns are taken from the vectors
//   already in registers by lane shifts instead of unaligned loads, which
//   would cross cache lines;
// - a row is 15 vectors, columns 1 to 120, the last one masked to columns 113
//   to 115, so there is no scalar remainder.
#include "water/waves.h"

#include "water/mesh.h"
#include "caustics/workers.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

// The intrinsics header starts some results from deliberately undefined
// vectors, which this compiler reports as uninitialised once inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include <initializer_list>

int avx512Available()
{
    // The compiler's check includes the operating system's support for the
    // wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") ? 1 : 0;
}

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512vl"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl")
#endif

// Rows are unrolled whole: the sliding windows then need no register moves.
#define UNROLL_ROW _Pragma("GCC unroll 15")

namespace {

constexpr int VECTORS = 15;                // 8-lane vectors per row: columns 1 to 120
constexpr int OFFSET = 7;                  // buffer index of column j is j + OFFSET: column 1 starts a vector
constexpr int BUFFER = 8 * (VECTORS + 2);  // row buffer: a zero vector either side, columns -7 to 128
constexpr __mmask8 ALL = 0xff;
constexpr __mmask8 LAST_INTERIOR = 0x07;   // columns 113 to 115 of the last vector
constexpr __mmask8 LAST_WITH_BORDER = 0x0f;  // columns 113 to 116 of the last vector
constexpr __mmask8 BORDER_LANE = 0x08;     // column 116 in the last vector

// Old displacements of one row: whole, and weighted for the sums that read them.
struct OldRow {
    alignas(64) double whole[BUFFER];
    alignas(64) double half[BUFFER];       // x 0.5, diagonal neighbours of the velocity push
    alignas(64) double tenth[BUFFER];      // x 0.1, edge neighbours of the smoothing
    alignas(64) double twentieth[BUFFER];  // x 0.05, diagonal neighbours of the smoothing
};

// New displacements of one row, weighted for the smoothing of the row below.
struct NewRow {
    alignas(64) double tenth[BUFFER];
    alignas(64) double twentieth[BUFFER];
};

inline __m512d roundToFloat(__m512d x)
{
    return _mm512_cvtps_pd(_mm512_cvtpd_ps(x));
}

// The left neighbours of the lanes of cur: [prev7, cur0 .. cur6].
inline __m512d leftOf(__m512d cur, __m512d prev)
{
    return _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(cur), _mm512_castpd_si512(prev), 7));
}

// The right neighbours of the lanes of cur: [cur1 .. cur7, next0].
inline __m512d rightOf(__m512d cur, __m512d next)
{
    return _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(next), _mm512_castpd_si512(cur), 1));
}

// Three consecutive vectors of a row buffer, sliding along it.
struct Window {
    const double *row;
    __m512d prev, cur, next;
    explicit Window(const double *r) : row(r), prev(_mm512_load_pd(r)), cur(_mm512_load_pd(r + 8)), next(_mm512_load_pd(r + 16)) {}
    __m512d left() const { return leftOf(cur, prev); }
    __m512d right() const { return rightOf(cur, next); }
    // Moves on from column vector k to k + 1. Buffer vector q holds column
    // vector q - 1, so the new next one is buffer vector k + 3, which exists
    // up to the right pad (k = VECTORS - 2).
    void slide(int k)
    {
        prev = cur;
        cur = next;
        if (k + 3 < VECTORS + 2)
            next = _mm512_load_pd(row + 8 * (k + 3));
    }
};

void zeroPads(double *buffer)
{
    _mm512_store_pd(buffer, _mm512_setzero_pd());
    _mm512_store_pd(buffer + BUFFER - 8, _mm512_setzero_pd());
}

// A row of D (row of the grid or a copy of one) into its ring slot, whole and weighted.
void widen(OldRow &out, const float *d)
{
    const __m512d half = _mm512_set1_pd(WAVE_DIAGONAL_WEIGHT);
    const __m512d tenth = _mm512_set1_pd(SMOOTH_EDGE);
    const __m512d twentieth = _mm512_set1_pd(SMOOTH_CORNER);
    UNROLL_ROW
    for (int k = 0; k < VECTORS; ++k) {
        const __mmask8 m = k == VECTORS - 1 ? LAST_WITH_BORDER : ALL;
        const __m512d x = _mm512_cvtps_pd(_mm256_maskz_loadu_ps(m, d + 1 + 8 * k));
        const int b = 8 + 8 * k;
        _mm512_store_pd(out.whole + b, x);
        _mm512_store_pd(out.half + b, _mm512_mul_pd(half, x));
        _mm512_store_pd(out.tenth + b, _mm512_mul_pd(tenth, x));
        _mm512_store_pd(out.twentieth + b, _mm512_mul_pd(twentieth, x));
    }
    const double border = d[0];
    out.whole[OFFSET] = border;
    out.half[OFFSET] = WAVE_DIAGONAL_WEIGHT * border;
    out.tenth[OFFSET] = SMOOTH_EDGE * border;
    out.twentieth[OFFSET] = SMOOTH_CORNER * border;
}

// Pass 1 for one row: its velocities v, in place, from last step's rows above,
// at and below it.
void updateVelocityRow(float *v, const OldRow &up, const OldRow &mid, const OldRow &down)
{
    const __m512d spring = _mm512_set1_pd(WAVE_SPRING);
    const __m512d coupling = _mm512_set1_pd(WAVE_COUPLING);
    const __m512d damping = _mm512_set1_pd(VELOCITY_DAMPING);
    const __m256 highest = _mm256_set1_ps(MAX_WAVE_SPEED);
    const __m256 lowest = _mm256_set1_ps(-MAX_WAVE_SPEED);
    Window centre(mid.whole), upHalf(up.half), downHalf(down.half);
    UNROLL_ROW
    for (int k = 0; k < VECTORS; ++k) {
        const int c = 1 + 8 * k, b = c + OFFSET;
        const __mmask8 m = k == VECTORS - 1 ? LAST_INTERIOR : ALL;
        __m512d speed = _mm512_cvtps_pd(_mm256_maskz_loadu_ps(m, v + c));
        speed = roundToFloat(_mm512_sub_pd(speed, _mm512_mul_pd(centre.cur, spring)));
        __m512d s = _mm512_add_pd(centre.left(), centre.right());
        s = _mm512_add_pd(s, _mm512_load_pd(down.whole + b));
        s = _mm512_add_pd(s, _mm512_load_pd(up.whole + b));
        s = _mm512_add_pd(s, downHalf.left());
        s = _mm512_add_pd(s, downHalf.right());
        s = _mm512_add_pd(s, upHalf.right());
        s = _mm512_add_pd(s, upHalf.left());
        speed = roundToFloat(_mm512_add_pd(speed, _mm512_mul_pd(coupling, s)));
        // min(limit, x) keeps x unless limit < x, as the plain clamp does, NaN included.
        __m256 out = _mm512_cvtpd_ps(_mm512_mul_pd(speed, damping));
        out = _mm256_min_ps(highest, out);
        out = _mm256_max_ps(lowest, out);
        _mm256_mask_storeu_ps(v + c, m, out);
        centre.slide(k);
        upHalf.slide(k);
        downHalf.slide(k);
    }
}

// Pass 2 for one row: its displacements d in place from its velocities v, and
// its heights h, from this step's row above and last step's rows at and below it.
void updateDisplacementRow(float *d, const float *v, float *h, const NewRow &above, NewRow &fresh, const OldRow &here,
                           const OldRow &below)
{
    const __m512d damping = _mm512_set1_pd(DISPLACEMENT_DAMPING);
    const __m512d centreWeight = _mm512_set1_pd(SMOOTH_CENTRE);
    const __m512d tenth = _mm512_set1_pd(SMOOTH_EDGE);
    const __m512d twentieth = _mm512_set1_pd(SMOOTH_CORNER);
    const __m256 highest = _mm256_set1_ps(MAX_WATER_HEIGHT);
    const __m256 lowest = _mm256_set1_ps(-MAX_WATER_HEIGHT);
    Window hereEdge(here.tenth), belowCorner(below.twentieth), aboveCorner(above.twentieth);

    // The border columns keep their values; column 0 is the left neighbour of column 1.
    const double leftBorder = d[0], rightBorder = d[GRID - 1];
    __m512d edgePrev = _mm512_set_pd(SMOOTH_EDGE * leftBorder, 0, 0, 0, 0, 0, 0, 0);
    fresh.twentieth[OFFSET] = SMOOTH_CORNER * leftBorder;
    UNROLL_ROW
    for (int k = 0; k < VECTORS; ++k) {
        const int c = 1 + 8 * k, b = c + OFFSET;
        const __mmask8 m = k == VECTORS - 1 ? LAST_INTERIOR : ALL;
        // A float sum rounded once is the double sum rounded to float.
        const __m256 moved = _mm256_add_ps(_mm256_maskz_loadu_ps(m, d + c), _mm256_maskz_loadu_ps(m, v + c));
        const __m256 narrow = _mm512_cvtpd_ps(_mm512_mul_pd(_mm512_cvtps_pd(moved), damping));
        _mm256_mask_storeu_ps(d + c, m, narrow);
        __m512d wide = _mm512_cvtps_pd(narrow);
        if (k == VECTORS - 1)
            wide = _mm512_mask_mov_pd(wide, BORDER_LANE, _mm512_set1_pd(rightBorder));
        const __m512d edgeCur = _mm512_mul_pd(tenth, wide);
        _mm512_store_pd(fresh.tenth + b, edgeCur);
        _mm512_store_pd(fresh.twentieth + b, _mm512_mul_pd(twentieth, wide));

        __m512d s = _mm512_mul_pd(centreWeight, wide);
        s = _mm512_add_pd(s, _mm512_load_pd(above.tenth + b));
        s = _mm512_add_pd(s, _mm512_load_pd(below.tenth + b));
        s = _mm512_add_pd(s, hereEdge.right());
        s = _mm512_add_pd(s, leftOf(edgeCur, edgePrev));
        s = _mm512_add_pd(s, belowCorner.right());
        s = _mm512_add_pd(s, aboveCorner.right());
        s = _mm512_add_pd(s, aboveCorner.left());
        s = _mm512_add_pd(s, belowCorner.left());
        __m256 out = _mm512_cvtpd_ps(s);
        out = _mm256_max_ps(lowest, out);
        out = _mm256_min_ps(highest, out);
        _mm256_mask_storeu_ps(h + c, m, out);
        edgePrev = edgeCur;
        hereEdge.slide(k);
        belowCorner.slide(k);
        aboveCorner.slide(k);
    }
}

// Last step's values on either side of the seam between the two halves of a
// split step, taken before either half starts: D of the two rows above the
// seam row and of the seam row itself, and V of the row just above it. Each
// half reads them where the other half may already have written this step's.
struct Seam {
    float displacement[3][GRID];  // rows SEAM_ROW - 2 to SEAM_ROW
    float velocity[GRID];         // row SEAM_ROW - 1
};

// The first row of the lower half. The lower half also recomputes the row
// above it, so it gets one row fewer.
constexpr int SEAM_ROW = 59;

// Rows first to last of one step. Row last + 1's D is read from below (the
// grid's own row where nothing else writes it); when first > 1, row first - 1
// belongs to another half, so its new D is recomputed here from last step's D
// of rows first - 2 to first (aboveD: the first two, then the grid's row
// first) and V of row first - 1 (aboveV), which are read from those copies
// alone. The recomputation goes through the very same row functions as the
// half above, so it yields the same bits.
void advanceRows(int first, int last, const float (*aboveD)[GRID], const float *aboveV, const float *below)
{
    OldRow old[3];    // last step's D of three consecutive rows, by row % 3
    NewRow fresh[2];  // this step's D of the row being updated and the one above, by row % 2
    for (OldRow &o : old)
        for (double *buffer : {o.whole, o.half, o.tenth, o.twentieth})
            zeroPads(buffer);
    for (NewRow &n : fresh)
        for (double *buffer : {n.tenth, n.twentieth})
            zeroPads(buffer);
    const auto oldRow = [&](int row) { return row == last + 1 ? below : waveDisplacement[row]; };

    if (first == 1) {
        // Row 0 is never written: it is the row above row 1 in this step as in the last.
        widen(old[0], waveDisplacement[0]);
        for (int b = 0; b < BUFFER; ++b) {
            fresh[0].tenth[b] = old[0].tenth[b];
            fresh[0].twentieth[b] = old[0].twentieth[b];
        }
        widen(old[1], waveDisplacement[1]);
    } else {
        // The row above only needs its new D; its heights, smoothed from a
        // calm row above it, are thrown away.
        static const NewRow calm{};
        alignas(64) float speed[GRID], moved[GRID], height[GRID];
        OldRow &top = old[(first - 2) % 3], &above = old[(first - 1) % 3], &here = old[first % 3];
        widen(top, aboveD[0]);
        widen(above, aboveD[1]);
        widen(here, waveDisplacement[first]);
        for (int j = 0; j < GRID; ++j) {
            speed[j] = aboveV[j];
            moved[j] = aboveD[1][j];
        }
        updateVelocityRow(speed, top, above, here);
        updateDisplacementRow(moved, speed, height, calm, fresh[(first - 1) % 2], above, here);
    }
    widen(old[(first + 1) % 3], oldRow(first + 1));
    updateVelocityRow(waveVelocity[first], old[(first - 1) % 3], old[first % 3], old[(first + 1) % 3]);
    for (int r = first; r <= last; ++r) {
        if (r + 1 <= last) {
            widen(old[(r + 2) % 3], oldRow(r + 2));
            updateVelocityRow(waveVelocity[r + 1], old[r % 3], old[(r + 1) % 3], old[(r + 2) % 3]);
        }
        updateDisplacementRow(waveDisplacement[r], waveVelocity[r], waterHeight[r], fresh[(r - 1) % 2], fresh[r % 2],
                              old[r % 3], old[(r + 1) % 3]);
    }
}

Seam seam;  // rewritten before every split step

void takeSeam()
{
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < GRID; ++j)
            seam.displacement[k][j] = waveDisplacement[SEAM_ROW - 2 + k][j];
    for (int j = 0; j < GRID; ++j)
        seam.velocity[j] = waveVelocity[SEAM_ROW - 1][j];
}

// Half 0 is rows 1 to SEAM_ROW - 1, half 1 the rest; they touch disjoint rows
// of the grids and read the seam copy where the other half writes.
void advanceHalf(int half)
{
    if (half == 0)
        advanceRows(1, SEAM_ROW - 1, nullptr, nullptr, seam.displacement[2]);
    else
        advanceRows(SEAM_ROW, GRID - 2, seam.displacement, seam.velocity, waveDisplacement[GRID - 1]);
}

}  // namespace

void advanceWavesAvx512()
{
    advanceRows(1, GRID - 2, nullptr, nullptr, waveDisplacement[GRID - 1]);
}

void advanceWavesAvx512Split()
{
    takeSeam();
    runFrameChunks(advanceHalf, 2);
}

void advanceWavesAvx512Halves(int lowerFirst)
{
    takeSeam();
    advanceHalf(lowerFirst ? 1 : 0);
    advanceHalf(lowerFirst ? 0 : 1);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else  // no AVX-512 code on other processors

int avx512Available()
{
    return 0;
}

void advanceWavesAvx512()
{
    advanceWavesPortable();
}

void advanceWavesAvx512Split()
{
    advanceWavesPortable();
}

void advanceWavesAvx512Halves(int)
{
    advanceWavesPortable();
}

#endif
