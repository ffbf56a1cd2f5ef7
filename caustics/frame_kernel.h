// The body of a frame's computation written once over a vector of LANES
// triangles; each source that includes it supplies the vector type V for its
// instruction set and compiles it with that set's flags. Everything here has
// internal linkage, so forms built with different flags never mix at link time.
//
// V provides: LANES; the types F (LANES floats) and D (LANES doubles) with
// + - * / and unary -; load(const float *), splat(float), splatD(double),
// store(float *, F) (no alignment needed), widen(F) -> D, narrow(D) -> F (round to
// nearest), sqrt(F), sqrt(D), and atLeastZero(F), which maps every value below
// zero to zero and keeps everything else, NaN included.
//
// Why the results match the one-triangle-at-a-time formulas bit for bit: those
// keep intermediates in double and round to float where a value is stored.
// A sum, difference, product, quotient or square root of floats taken in
// double and rounded to float equals the same operation done in float (double
// carries more than twice float's precision), so those steps run in float
// here, at twice the width; every step that combines more than one rounding
// (dot products, sums of squares, the bend of the ray, the seabed projection)
// stays in double, in the same order. No fused multiply-add, no reciprocal
// estimates: each lane sees the same IEEE operations as the scalar formulas.
#pragma once

#include "caustics/caustics.h"
#include "caustics/frame_rows.h"
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

template <class V>
struct Point {
    typename V::F x, y, z;
};

// Triangle area from its corners: half the length of (Q - P) x (R - P), the
// differences and the products in double, each component of the cross product
// and the length rounded to float.
template <class V>
typename V::F areaOf(const Point<V> &p, const Point<V> &q, const Point<V> &r)
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

// The unit direction from vertex p to the light, refracted into the water at
// the triangle's normal n (given in double), followed from the origin to the
// seabed: its x and z there.
template <class V>
void refractToSeabed(const FrameInputs &in, const typename V::D n[3], const Point<V> &p, typename V::F *x,
                     typename V::F *z)
{
    using F = typename V::F;
    using D = typename V::D;
    F dx = V::splat(in.lightX) - p.x, dy = V::splat(in.lightY) - p.y, dz = V::splat(in.lightZ) - p.z;
    D wx = V::widen(dx), wy = V::widen(dy), wz = V::widen(dz);
    const F len = V::narrow(V::sqrt(wx * wx + wy * wy + wz * wz));
    dx = dx / len;
    dy = dy / len;
    dz = dz / len;
    wx = V::widen(dx);
    wy = V::widen(dy);
    wz = V::widen(dz);

    const D c = V::widen(V::narrow(-(wx * n[0] + wy * n[1] + wz * n[2])));
    const D one = V::splatD(1.0);
    // Rounding can push q just below 0 at grazing light although going into
    // the denser medium never reflects totally.
    const F q = V::atLeastZero(V::narrow(one - V::splatD(ETA_SQUARED) * (one - c * c)));
    const F eta = V::splat(ETA);
    const D bend = V::splatD(ETA_D) * c - V::widen(V::sqrt(q));
    const D tx = V::widen(V::narrow(bend * n[0] + V::widen(eta * dx)));
    const D ty = V::widen(V::narrow(bend * n[1] + V::widen(eta * dy)));
    const D tz = V::widen(V::narrow(bend * n[2] + V::widen(eta * dz)));

    const D seabed = V::splatD(in.seabedZ);
    *x = V::narrow(-((tx / ty) * seabed));
    *z = V::narrow(-((tz / ty) * seabed));
}

// Room for one row of cells in the per-row scratch arrays, rounded up to whole vectors.
constexpr int ROW_ROOM = (GRID_CELLS + 15) / 16 * 16;

// One row's worth of per-triangle values between the passes over the row.
struct RowScratch {
    alignas(64) float normal[3][ROW_ROOM];
    alignas(64) float lightDot[ROW_ROOM];
    alignas(64) float causticX[3][ROW_ROOM];
    alignas(64) float causticZ[3][ROW_ROOM];
    alignas(64) float causticArea[ROW_ROOM];
    alignas(64) float shade[ROW_ROOM];
    alignas(64) float areaRatio[ROW_ROOM];
};

// First column of each vector of cells along a row: the last vector ends at the
// row's end and overlaps the one before it, its shared cells computed twice,
// identically.
template <class V>
constexpr int vectorStart(int j)
{
    return j + V::LANES <= GRID_CELLS ? j : GRID_CELLS - V::LANES;
}

// Corner k of the LANES triangles of one half (0 or 1) of the cells
// (i, j) .. (i, j + LANES - 1).
template <class V>
Point<V> cornerOf(const FrameInputs &in, int half, int k, int i, int j)
{
    const int row = i + CORNER_ROW[half][k], col = j + CORNER_COL[half][k];
    return Point<V>{V::splat(in.coords[row]), V::load(&waterHeight[row][col]), V::load(&in.coords[col])};
}

// Every per-frame value of the triangles of one half of row i, written into
// their records. Each pass runs along the whole row before the next starts, so
// the vectors of a pass are independent and the processor overlaps their long
// chains of divisions and square roots.
template <class V>
void computeHalfRow(const FrameInputs &in, int half, int i, RowScratch &s)
{
    using F = typename V::F;
    using D = typename V::D;

    // The normal: edges with the horizontal components in grid units (0 or
    // +-1, so the products below are exact in float), the negated cross
    // product normalised by a length taken in double; and its dot product
    // with the light position.
    const F e1x = V::splat(static_cast<float>(CORNER_ROW[half][1] - CORNER_ROW[half][0]));
    const F e1z = V::splat(static_cast<float>(CORNER_COL[half][1] - CORNER_COL[half][0]));
    const F e2x = V::splat(static_cast<float>(CORNER_ROW[half][2] - CORNER_ROW[half][0]));
    const F e2z = V::splat(static_cast<float>(CORNER_COL[half][2] - CORNER_COL[half][0]));
    for (int jv = 0; jv < GRID_CELLS; jv += V::LANES) {
        const int j = vectorStart<V>(jv);
        const int col = j + CORNER_COL[half][0];
        const F h0 = V::load(&waterHeight[i + CORNER_ROW[half][0]][col]);
        const F e1y = V::load(&waterHeight[i + CORNER_ROW[half][1]][j + CORNER_COL[half][1]]) - h0;
        const F e2y = V::load(&waterHeight[i + CORNER_ROW[half][2]][j + CORNER_COL[half][2]]) - h0;
        const F cx = e1y * e2z - e1z * e2y, cy = e1z * e2x - e1x * e2z, cz = e1x * e2y - e1y * e2x;
        const D wcx = V::widen(cx), wcy = V::widen(cy), wcz = V::widen(cz);
        const F len = V::narrow(V::sqrt(wcx * wcx + wcy * wcy + wcz * wcz));
        const F nx = -cx / len, ny = -cy / len, nz = -cz / len;
        V::store(&s.normal[0][j], nx);
        V::store(&s.normal[1][j], ny);
        V::store(&s.normal[2][j], nz);
        V::store(&s.lightDot[j], V::narrow(V::widen(nx) * V::splatD(in.lightX) + V::widen(ny) * V::splatD(in.lightY) +
                                           V::widen(nz) * V::splatD(in.lightZ)));
    }

    for (int k = 0; k < 3; ++k)
        for (int jv = 0; jv < GRID_CELLS; jv += V::LANES) {
            const int j = vectorStart<V>(jv);
            const D n[3] = {V::widen(V::load(&s.normal[0][j])), V::widen(V::load(&s.normal[1][j])),
                            V::widen(V::load(&s.normal[2][j]))};
            F x, z;
            refractToSeabed<V>(in, n, cornerOf<V>(in, half, k, i, j), &x, &z);
            V::store(&s.causticX[k][j], x);
            V::store(&s.causticZ[k][j], z);
        }

    const F seabed = V::splat(in.seabedZ);
    for (int jv = 0; jv < GRID_CELLS; jv += V::LANES) {
        const int j = vectorStart<V>(jv);
        const F causticArea =
            areaOf<V>(Point<V>{V::load(&s.causticX[0][j]), seabed, V::load(&s.causticZ[0][j])},
                      Point<V>{V::load(&s.causticX[1][j]), seabed, V::load(&s.causticZ[1][j])},
                      Point<V>{V::load(&s.causticX[2][j]), seabed, V::load(&s.causticZ[2][j])});
        V::store(&s.causticArea[j], causticArea);
        if (in.storeShadeAndRatio) {
            const F surfaceArea = areaOf<V>(cornerOf<V>(in, half, 0, i, j), cornerOf<V>(in, half, 1, i, j),
                                            cornerOf<V>(in, half, 2, i, j));
            V::store(&s.areaRatio[j], surfaceArea / causticArea);
            V::store(&s.shade[j], V::narrow(V::widen(V::load(&s.lightDot[j])) / V::splatD(10.0) * V::splatD(0.85)));
        }
    }

    // The records are what the drawing reads.
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

template <class V>
void computeRows(int firstRow, int endRow, const FrameInputs &in)
{
    static_assert(GRID_CELLS >= V::LANES, "a row holds at least one vector of cells");
    RowScratch scratch;
    for (int i = firstRow; i < endRow; ++i)
        for (int half = 0; half < 2; ++half)
            computeHalfRow<V>(in, half, i, scratch);
}

}  // namespace
