// The body of a frame's computation, written once over vectors of triangles
// and compiled by each source that includes it for its own instruction set.
// Everything here has internal linkage, so forms built with different flags
// never mix at link time.
//
// Two kinds of vector type V drive it:
// - a double kind, whose doubles are real doubles: it keeps every
//   intermediate in double and rounds to float exactly where the one-triangle-
//   at-a-time formulas store a value, so it stores what they store, bit for
//   bit. Where a float operation rounds like the double one followed by a
//   rounding to float (a single sum, difference, product, quotient or square
//   root of floats: double carries more than twice float's precision) it uses
//   the float operation, which is twice as wide.
// - a float kind, whose "doubles" are floats: the same formulas in single
//   precision throughout, about twice as fast. Its results differ from the
//   double ones by a few units in the last place, which the refraction
//   amplifies: the bend of the ray subtracts nearly equal numbers.
// A frame runs the float kind, bounds the deviation of every triangle's
// results from the double ones, and runs the double kind again for every
// triangle whose float results lie within that bound of a drawing decision
// (the floor's edges, the brightness threshold), or are ill conditioned or
// not finite: about one in a hundred on rippled water. The drawing therefore
// decides every triangle as the double formulas would, while almost all the
// arithmetic runs in float.
//
// V provides: LANES; SHARED_DIVISOR, true for the float kind, which divides
// several values by one divisor through a single reciprocal (half a unit more
// rounding, inside its error bound, and fewer of the slow divisions);
// the types F (LANES floats) and D (LANES doubles, or
// floats for the float kind) with + - * / and unary -; load(const float *),
// splat(float), splatD(double), store(float *, F) (no alignment needed),
// widen(F) -> D, narrow(D) -> F (round to nearest), sqrt of F and of D, and
// atLeastZero(F), which maps every value below zero to zero and keeps
// everything else, NaN included. The float kind also provides abs(F),
// notAbove(F a, F b), a mask that is set where a > b fails (NaN included), and
// orMask(F, F); a set mask is stored as a nonzero float (or a NaN); and
// reciprocalAbove(F), at least 1 / x and at most 0.1 % above it for x > 0,
// infinite or NaN for x = 0 or NaN: a bound needs no exact division.
#pragma once

#include "caustics/caustics.h"
#include "caustics/frame_rows.h"
#include "render/caustic_rules.h"
#include "scenery/scenery.h"
#include "water/mesh.h"

namespace {

// Vertex k of each triangle of cell (i, j), as offsets from (i, j): first the
// half with its right angle at (i, j), then the half with its right angle at
// (i + 1, j + 1); the order of the triangle list built in water/mesh.cpp.
constexpr int CORNER_ROW[2][3] = {{0, 1, 0}, {0, 1, 1}};
constexpr int CORNER_COL[2][3] = {{0, 0, 1}, {1, 0, 1}};
constexpr int HALF_SIZE = GRID_CELLS * GRID_CELLS;  // triangles in each half of the list

constexpr double ETA_D = ETA;                  // the ratio as the formulas use it, in double
constexpr double ETA_SQUARED = ETA_D * ETA_D;  // exact: a float squared fits a double

// What the drawing decides from: the pool floor's edges and the brightness threshold.
constexpr float FLOOR_LOW = POOL_EDGE_MIN;      // caustic coordinates below this are off the floor
constexpr float FLOOR_HIGH = POOL_EDGE_MAX;     // caustic coordinates above this are off the floor
constexpr float BRIGHTNESS_THRESHOLD = static_cast<float>(CAUSTIC_THRESHOLD);  // drawn from this brightness up

// The error bounds of the float kind against the double kind, in units of
// float's rounding unit u. Following the rounding errors of either kind
// through the refraction to first order: the light direction and the normal
// are within 3u per component, c within 10u, 1 - c^2 within 21u, q within
// 24u, its root within 12u / sqrt(q), the bend within 13u + 12u / sqrt(q),
// each component of T within 26u + 12u / sqrt(q), and a caustic coordinate x
// within that times (|seabedZ| + |x|) / |T.y|, plus 2u |x| for the rounding
// of x itself. Both kinds together, and with |T.y| at most 1 (T has about
// unit length): (56 + 24 / sqrt(q)) u (|seabedZ| + |x| + |z|) / |T.y| bounds
// both x and z. Over the calm, rippled, rough and extreme surfaces of the
// tests the float results stay within a quarter of this bound.
constexpr float UNIT_ROUNDOFF = 0x1p-24f;     // u: the largest relative rounding error of a float operation
constexpr float COORD_ERROR = 56.0f;          // coordinate bound, the part independent of q, in u
constexpr float COORD_ERROR_GRAZING = 24.0f;  // coordinate bound, the part growing as 1 / sqrt(q), in u
// Below these the first-order bound no longer holds (q or T.y is comparable
// to its own error): such a vertex is always computed in double.
constexpr float ROOT_Q_FLOOR = 0.03f;         // sqrt(q); q near 0 is light grazing the surface
constexpr float TY_FLOOR = 1e-3f;             // |T.y|; a refracted ray running almost flat
// The caustic area's cross product loses at most 4u to rounding; the surface
// area, the ratio, the dot product with the light and the drawing's own
// roundings of v add at most 64u relative and 16u of the ratio absolute.
constexpr float AREA_ROUNDING = 4.0f;
constexpr float BRIGHTNESS_RELATIVE_ERROR = 64.0f;
constexpr float BRIGHTNESS_ABSOLUTE_ERROR = 16.0f;
// The processors' reciprocal estimates are within 1.5 x 2^-12 of 1 / x;
// scaled up by this they bound it from above.
constexpr float RECIPROCAL_ESTIMATE_MARGIN = 1.0f + 0x1p-10f;

// Room for one row of cells in the per-row scratch arrays, in whole vectors.
constexpr int ROW_ROOM = (GRID_CELLS + 15) / 16 * 16;

// One half-row's worth of per-triangle values between the passes over it.
struct RowScratch {
    alignas(64) float normal[3][ROW_ROOM];
    alignas(64) float lightDot[ROW_ROOM];
    alignas(64) float causticX[3][ROW_ROOM];
    alignas(64) float causticZ[3][ROW_ROOM];
    alignas(64) float rootQ[3][ROW_ROOM];     // sqrt(q) of each vertex's refraction
    alignas(64) float rayY[3][ROW_ROOM];      // T.y of each vertex's refracted ray
    alignas(64) float causticArea[ROW_ROOM];
    alignas(64) float areaRatio[ROW_ROOM];
    alignas(64) float shade[ROW_ROOM];
    alignas(64) float redo[ROW_ROOM];         // nonzero: the float results are too close to call
};

template <class V>
struct Point {
    typename V::F x, y, z;
};

// a[0 .. n - 1] / d, with one reciprocal where the kind allows it.
template <class V, class T>
inline __attribute__((always_inline)) void divideAll(T *a, int n, T d)
{
    if constexpr (V::SHARED_DIVISOR) {
        const T r = T{V::splatD(1.0)} / d;
        for (int m = 0; m < n; ++m)
            a[m] = a[m] * r;
    } else {
        for (int m = 0; m < n; ++m)
            a[m] = a[m] / d;
    }
}

// Triangle area from its corners: half the length of (Q - P) x (R - P), the
// differences and the products in double, each component of the cross product
// and the length rounded to float.
template <class V>
inline __attribute__((always_inline)) typename V::F areaOf(const Point<V> &p, const Point<V> &q, const Point<V> &r)
{
    using D = typename V::D;
    const D px = V::widen(p.x), py = V::widen(p.y), pz = V::widen(p.z);
    const D qx = V::widen(q.x) - px, qy = V::widen(q.y) - py, qz = V::widen(q.z) - pz;
    const D rx = V::widen(r.x) - px, ry = V::widen(r.y) - py, rz = V::widen(r.z) - pz;
    const D cx = V::widen(V::narrow(qy * rz - qz * ry));
    const D cy = V::widen(V::narrow(qz * rx - rz * qx));
    const D cz = V::widen(V::narrow(ry * qx - qy * rx));
    return V::narrow(V::sqrt(cx * cx + cy * cy + cz * cz)) * V::splat(0.5f);
}

template <class V>
struct Refraction {
    typename V::F x, z;    // where the refracted ray meets the seabed
    typename V::F rootQ;   // sqrt(q): near 0 for light grazing the surface
    typename V::F rayY;    // T.y: near 0 for a ray running almost flat
};

// The unit direction from vertex p to the light, refracted into the water at
// the triangle's normal n (given as D), followed from the origin to the seabed.
template <class V>
inline __attribute__((always_inline)) Refraction<V> refractToSeabed(const FrameInputs &in, const typename V::D n[3],
                                                                    const Point<V> &p)
{
    using F = typename V::F;
    using D = typename V::D;
    F d[3] = {V::splat(in.lightX) - p.x, V::splat(in.lightY) - p.y, V::splat(in.lightZ) - p.z};
    D wx = V::widen(d[0]), wy = V::widen(d[1]), wz = V::widen(d[2]);
    divideAll<V>(d, 3, V::narrow(V::sqrt(wx * wx + wy * wy + wz * wz)));
    const F dx = d[0], dy = d[1], dz = d[2];
    wx = V::widen(dx);
    wy = V::widen(dy);
    wz = V::widen(dz);

    const D c = V::widen(V::narrow(-(wx * n[0] + wy * n[1] + wz * n[2])));
    const D one = V::splatD(1.0);
    // Rounding can push q just below 0 at grazing light although going into
    // the denser medium never reflects totally.
    const F q = V::atLeastZero(V::narrow(one - V::splatD(ETA_SQUARED) * (one - c * c)));
    const F rootQ = V::sqrt(q);
    const F eta = V::splat(ETA);
    const D bend = V::splatD(ETA_D) * c - V::widen(rootQ);
    const F tx = V::narrow(bend * n[0] + V::widen(eta * dx));
    const F ty = V::narrow(bend * n[1] + V::widen(eta * dy));
    const F tz = V::narrow(bend * n[2] + V::widen(eta * dz));

    // Only the direction counts: the point is where the refracted ray from the
    // origin meets the seabed, so it moves with the tilt of the surface.
    D slope[2] = {V::widen(tx), V::widen(tz)};
    divideAll<V>(slope, 2, V::widen(ty));
    const D seabed = V::splatD(in.seabedZ);
    return Refraction<V>{V::narrow(-(slope[0] * seabed)), V::narrow(-(slope[1] * seabed)), rootQ, ty};
}

// Where the passes find the corners of the triangles of one half-row.
// Along the grid: corner k of the LANES triangles of cells (i, j) ..
// (i, j + LANES - 1).
struct GridCorners {
    const FrameInputs &in;
    int half, i;
    template <class V>
    Point<V> at(int k, int j) const
    {
        const int row = i + CORNER_ROW[half][k], col = j + CORNER_COL[half][k];
        return Point<V>{V::splat(in.coords[row]), V::load(&waterHeight[row][col]), V::load(&in.coords[col])};
    }
};

// Gathered: the corners of scattered cells of one half-row, copied lane by
// lane into small arrays, so that any set of cells fills whole vectors.
struct GatheredCorners {
    alignas(64) float x[3][ROW_ROOM];
    alignas(64) float y[3][ROW_ROOM];
    alignas(64) float z[3][ROW_ROOM];
    int half;
    template <class V>
    Point<V> at(int k, int j) const
    {
        return Point<V>{V::load(&x[k][j]), V::load(&y[k][j]), V::load(&z[k][j])};
    }
};

// Runs body(j) for vectors of LANES cells covering first .. end - 1 (at least
// LANES cells): the last vector ends at `end` and may overlap the one before
// it, the shared cells computed twice, identically.
template <class V, class Body>
inline void forEachVector(int first, int end, Body body)
{
    for (int j = first; j < end; j += V::LANES)
        body(j + V::LANES <= end ? j : end - V::LANES);
}

// The normal of each triangle: edges with the horizontal components in grid
// units (0 or +-1, so the products below are exact in float), the negated
// cross product normalised by a length taken in double; and its dot product
// with the light position.
template <class V, class Corners>
void normalPass(const FrameInputs &in, const Corners &corners, int first, int end, RowScratch &s)
{
    using F = typename V::F;
    using D = typename V::D;
    const int half = corners.half;
    const F e1x = V::splat(static_cast<float>(CORNER_ROW[half][1] - CORNER_ROW[half][0]));
    const F e1z = V::splat(static_cast<float>(CORNER_COL[half][1] - CORNER_COL[half][0]));
    const F e2x = V::splat(static_cast<float>(CORNER_ROW[half][2] - CORNER_ROW[half][0]));
    const F e2z = V::splat(static_cast<float>(CORNER_COL[half][2] - CORNER_COL[half][0]));
    forEachVector<V>(first, end, [&](int j) {
        const F h0 = corners.template at<V>(0, j).y;
        const F e1y = corners.template at<V>(1, j).y - h0;
        const F e2y = corners.template at<V>(2, j).y - h0;
        const F cx = e1y * e2z - e1z * e2y, cy = e1z * e2x - e1x * e2z, cz = e1x * e2y - e1y * e2x;
        const D wcx = V::widen(cx), wcy = V::widen(cy), wcz = V::widen(cz);
        F n[3] = {-cx, -cy, -cz};
        divideAll<V>(n, 3, V::narrow(V::sqrt(wcx * wcx + wcy * wcy + wcz * wcz)));
        const F nx = n[0], ny = n[1], nz = n[2];
        V::store(&s.normal[0][j], nx);
        V::store(&s.normal[1][j], ny);
        V::store(&s.normal[2][j], nz);
        V::store(&s.lightDot[j], V::narrow(V::widen(nx) * V::splatD(in.lightX) + V::widen(ny) * V::splatD(in.lightY) +
                                           V::widen(nz) * V::splatD(in.lightZ)));
    });
}

// The caustic point of every vertex; one vertex at a time along the row, so
// that the vectors of the pass are independent and the processor overlaps
// their long chains of divisions and square roots.
template <class V, class Corners>
void refractPass(const FrameInputs &in, const Corners &corners, int first, int end, RowScratch &s)
{
    using D = typename V::D;
    for (int k = 0; k < 3; ++k)
        forEachVector<V>(first, end, [&](int j) {
            const D n[3] = {V::widen(V::load(&s.normal[0][j])), V::widen(V::load(&s.normal[1][j])),
                            V::widen(V::load(&s.normal[2][j]))};
            const Refraction<V> r = refractToSeabed<V>(in, n, corners.template at<V>(k, j));
            V::store(&s.causticX[k][j], r.x);
            V::store(&s.causticZ[k][j], r.z);
            V::store(&s.rootQ[k][j], r.rootQ);
            V::store(&s.rayY[k][j], r.rayY);
        });
}

// The caustic area, the area ratio and the shade.
template <class V, class Corners>
void areaPass(const FrameInputs &in, const Corners &corners, int first, int end, RowScratch &s)
{
    using F = typename V::F;
    const F seabed = V::splat(in.seabedZ);
    forEachVector<V>(first, end, [&](int j) {
        const F causticArea =
            areaOf<V>(Point<V>{V::load(&s.causticX[0][j]), seabed, V::load(&s.causticZ[0][j])},
                      Point<V>{V::load(&s.causticX[1][j]), seabed, V::load(&s.causticZ[1][j])},
                      Point<V>{V::load(&s.causticX[2][j]), seabed, V::load(&s.causticZ[2][j])});
        const F surfaceArea = areaOf<V>(corners.template at<V>(0, j), corners.template at<V>(1, j),
                                        corners.template at<V>(2, j));
        V::store(&s.causticArea[j], causticArea);
        V::store(&s.areaRatio[j], surfaceArea / causticArea);
        V::store(&s.shade[j], V::narrow(V::widen(V::load(&s.lightDot[j])) / V::splatD(10.0) * V::splatD(0.85)));
    });
}

// Marks the triangles whose float results the double formulas might decide
// otherwise: a caustic coordinate within its error bound of a floor edge, a
// brightness within its error bound of the threshold, an ill-conditioned
// vertex, or anything not finite (every comparison with NaN marks).
template <class V>
void riskPass(const FrameInputs &in, int first, int end, RowScratch &s)
{
    using F = typename V::F;
    const F u = V::splat(UNIT_ROUNDOFF);
    const F depth = V::abs(V::splat(in.seabedZ));
    // A coordinate c lies within b of an edge of the floor when its distance
    // from the nearer edge, | |c - middle| - half width |, is at most b.
    const F middle = V::splat(0.5f * (FLOOR_LOW + FLOOR_HIGH)), halfWidth = V::splat(0.5f * (FLOOR_HIGH - FLOOR_LOW));
    forEachVector<V>(first, end, [&](int j) {
        F redo = V::splat(0.0f);
        F x[3], z[3], bound[3];
        for (int k = 0; k < 3; ++k) {
            x[k] = V::load(&s.causticX[k][j]);
            z[k] = V::load(&s.causticZ[k][j]);
            const F rootQ = V::load(&s.rootQ[k][j]), rayY = V::abs(V::load(&s.rayY[k][j]));
            bound[k] = u * (V::splat(COORD_ERROR) * rootQ + V::splat(COORD_ERROR_GRAZING)) *
                       (depth + V::abs(x[k]) + V::abs(z[k])) * V::reciprocalAbove(rootQ * rayY);
            redo = V::orMask(redo, V::orMask(V::notAbove(rootQ, V::splat(ROOT_Q_FLOOR)),
                                             V::notAbove(rayY, V::splat(TY_FLOOR))));
            const F xToEdge = V::abs(V::abs(x[k] - middle) - halfWidth);
            const F zToEdge = V::abs(V::abs(z[k] - middle) - halfWidth);
            redo = V::orMask(redo, V::orMask(V::notAbove(xToEdge, bound[k]), V::notAbove(zToEdge, bound[k])));
        }

        // Twice the caustic area is |qz rx - rz qx| for the edges q and r from
        // corner 0; each coordinate may be off by its bound.
        const F qx = x[1] - x[0], qz = z[1] - z[0], rx = x[2] - x[0], rz = z[2] - z[0];
        const F area2 = V::load(&s.causticArea[j]) * V::splat(2.0f);
        const F area2Error = (bound[0] + bound[1]) * (V::abs(rx) + V::abs(rz)) +
                             (bound[0] + bound[2]) * (V::abs(qx) + V::abs(qz)) +
                             V::splat(AREA_ROUNDING) * u * (V::abs(qz * rx) + V::abs(rz * qx));
        // The brightness v = (Lhat . normal) x areaRatio / 2; its error
        // bound, like the distance to the threshold, is taken times area2 so
        // that no division is needed.
        const F ratio = V::load(&s.areaRatio[j]);
        const F dot = V::splat(in.lightUnitX) * V::load(&s.normal[0][j]) +
                      V::splat(in.lightUnitY) * V::load(&s.normal[1][j]) +
                      V::splat(in.lightUnitZ) * V::load(&s.normal[2][j]);
        const F v = dot * ratio * V::splat(0.5f);
        const F scaledError = V::abs(v) * (area2Error + V::splat(BRIGHTNESS_RELATIVE_ERROR) * u * area2) +
                              V::abs(ratio) * V::splat(BRIGHTNESS_ABSOLUTE_ERROR) * u * area2;
        redo = V::orMask(redo, V::notAbove(V::abs(v - V::splat(BRIGHTNESS_THRESHOLD)) * area2, scaledError));
        V::store(&s.redo[j], redo);
    });
}

// Every per-frame value of the triangles first .. end - 1 of one half-row.
template <class V, class Corners>
void computeCells(const FrameInputs &in, const Corners &corners, int first, int end, RowScratch &s)
{
    normalPass<V>(in, corners, first, end, s);
    refractPass<V>(in, corners, first, end, s);
    areaPass<V>(in, corners, first, end, s);
}

// Computes the marked triangles of one half-row (cells[0 .. count - 1]) again
// with the double kind, gathered into whole vectors, and puts their values in
// place of the float ones in s.
template <class Exact>
void redoMarked(const FrameInputs &in, int half, int i, const int *cells, int count, RowScratch &s)
{
    GatheredCorners corners;
    corners.half = half;
    RowScratch redone;
    for (int first = 0; first < count; first += Exact::LANES) {
        // A last, partial vector repeats its last cell in the spare lanes.
        for (int l = 0; l < Exact::LANES; ++l) {
            const int j = cells[first + l < count ? first + l : count - 1];
            for (int k = 0; k < 3; ++k) {
                const int row = i + CORNER_ROW[half][k], col = j + CORNER_COL[half][k];
                corners.x[k][l] = in.coords[row];
                corners.y[k][l] = waterHeight[row][col];
                corners.z[k][l] = in.coords[col];
            }
        }
        computeCells<Exact>(in, corners, 0, Exact::LANES, redone);
        for (int l = 0; l < Exact::LANES && first + l < count; ++l) {
            const int j = cells[first + l];
            for (int a = 0; a < 3; ++a) {
                s.normal[a][j] = redone.normal[a][l];
                s.causticX[a][j] = redone.causticX[a][l];
                s.causticZ[a][j] = redone.causticZ[a][l];
            }
            s.lightDot[j] = redone.lightDot[l];
            s.causticArea[j] = redone.causticArea[l];
            s.areaRatio[j] = redone.areaRatio[l];
            s.shade[j] = redone.shade[l];
        }
    }
}

// The records are what the drawing reads.
inline void storeRecords(const FrameInputs &in, int half, int i, const RowScratch &s)
{
    WaterTriangle *t = waterTriangles + half * HALF_SIZE + i * GRID_CELLS;
    for (int j = 0; j < GRID_CELLS; ++j, ++t) {
        t->causticArea = s.causticArea[j];
        t->normal[0] = s.normal[0][j];
        t->normal[1] = s.normal[1][j];
        t->normal[2] = s.normal[2][j];
        t->lightDot = s.lightDot[j];
        for (int k = 0; k < 3; ++k) {
            t->causticX[k] = s.causticX[k][j];
            t->causticZ[k] = s.causticZ[k][j];
        }
        if (in.storeShadeAndRatio) {
            t->shade = s.shade[j];
            t->areaRatio = s.areaRatio[j];
        }
    }
}

// Both halves of the cells of rows firstRow .. endRow - 1: the float kind
// Fast, then the double kind Exact for the marked triangles (or for everything
// when in.doubleOnly). Returns the number of triangles computed in double.
template <class Fast, class Exact>
int computeRows(int firstRow, int endRow, const FrameInputs &in)
{
    static_assert(GRID_CELLS >= Fast::LANES && GRID_CELLS >= Exact::LANES, "a row holds a vector of cells");
    RowScratch s;
    int redone = 0;
    for (int i = firstRow; i < endRow; ++i)
        for (int half = 0; half < 2; ++half) {
            const GridCorners corners{in, half, i};
            if (in.doubleOnly) {
                computeCells<Exact>(in, corners, 0, GRID_CELLS, s);
                redone += GRID_CELLS;
            } else {
                computeCells<Fast>(in, corners, 0, GRID_CELLS, s);
                riskPass<Fast>(in, 0, GRID_CELLS, s);
                // Without a branch: the marks fall at random.
                int marked[GRID_CELLS];
                int count = 0;
                for (int j = 0; j < GRID_CELLS; ++j) {
                    marked[count] = j;
                    count += s.redo[j] != 0.0f;
                }
                redoMarked<Exact>(in, half, i, marked, count, s);
                redone += count;
            }
            storeRecords(in, half, i, s);
        }
    return redone;
}

// --- One lane: plain floats and doubles, for any processor -------------------

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

// __builtin_sqrt rather than std::sqrt: the library's inline functions must
// not be instantiated in a source compiled for a wider instruction set.
struct OneLaneFloat {
    static constexpr int LANES = 1;
    static constexpr bool SHARED_DIVISOR = true;
    using F = OneF;
    using D = OneF;
    static F load(const float *p) { return {*p}; }
    static F splat(float x) { return {x}; }
    static D splatD(double x) { return {static_cast<float>(x)}; }
    static void store(float *p, F a) { *p = a.v; }
    static D widen(F a) { return a; }
    static F narrow(D a) { return a; }
    static F sqrt(F a) { return {__builtin_sqrtf(a.v)}; }
    static F atLeastZero(F a) { return {a.v < 0.0f ? 0.0f : a.v}; }
    static F abs(F a) { return {__builtin_fabsf(a.v)}; }
    static F notAbove(F a, F b) { return {a.v > b.v ? 0.0f : 1.0f}; }
    static F orMask(F a, F b) { return {a.v != 0.0f || b.v != 0.0f ? 1.0f : 0.0f}; }
    static F reciprocalAbove(F a) { return {1.0f / a.v * RECIPROCAL_ESTIMATE_MARGIN}; }
};

struct OneLaneDouble {
    static constexpr int LANES = 1;
    static constexpr bool SHARED_DIVISOR = false;
    using F = OneF;
    using D = OneD;
    static F load(const float *p) { return {*p}; }
    static F splat(float x) { return {x}; }
    static D splatD(double x) { return {x}; }
    static void store(float *p, F a) { *p = a.v; }
    static D widen(F a) { return {a.v}; }
    static F narrow(D a) { return {static_cast<float>(a.v)}; }
    static F sqrt(F a) { return {__builtin_sqrtf(a.v)}; }
    static D sqrt(D a) { return {__builtin_sqrt(a.v)}; }
    static F atLeastZero(F a) { return {a.v < 0.0f ? 0.0f : a.v}; }
};

}  // namespace
