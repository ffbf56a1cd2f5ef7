// A plain, one-triangle-at-a-time statement of everything a frame computes
// before it draws (normals, light dot, caustic points and area, shade, area
// ratio), kept beside the tests and the benchmarks as the yardstick for the
// vectorised computation in caustics/, which must store the same bits. It
// reads the vertex indices of each record, as the formulas are written, and
// keeps every intermediate in double, rounding to float wherever a value is
// stored. Also the scripted rippled and rough surfaces that the tests and the
// benchmarks share.
#pragma once

#include <algorithm>
#include <cmath>

#include "core/state.h"
#include "water/mesh.h"

namespace reference {

struct Vec {
    float x, y, z;
};

inline Vec vertexAt(int row, int col)
{
    return Vec{gridCoord(row), waterHeight[row][col], gridCoord(col)};
}

inline Vec cross(Vec p, Vec q, Vec r)
{
    const double qx = static_cast<double>(q.x) - p.x, qy = static_cast<double>(q.y) - p.y,
                 qz = static_cast<double>(q.z) - p.z;
    const double rx = static_cast<double>(r.x) - p.x, ry = static_cast<double>(r.y) - p.y,
                 rz = static_cast<double>(r.z) - p.z;
    return Vec{static_cast<float>(qy * rz - qz * ry), static_cast<float>(qz * rx - rz * qx),
               static_cast<float>(ry * qx - qy * rx)};
}

inline float area(Vec p, Vec q, Vec r)
{
    const Vec c = cross(p, q, r);
    const double len = std::sqrt(static_cast<double>(c.x) * c.x + static_cast<double>(c.y) * c.y +
                                 static_cast<double>(c.z) * c.z);
    return static_cast<float>(static_cast<float>(len) / 2.0);
}

// Normal of triangle t from the heights under its three vertices, with the
// horizontal edge components in grid units.
inline void normalOf(const WaterTriangle &t, float normal[3])
{
    const double h0 = waterHeight[t.vertexRow[0]][t.vertexCol[0]];
    const float e1[3] = {static_cast<float>(t.vertexRow[1] - t.vertexRow[0]),
                         static_cast<float>(waterHeight[t.vertexRow[1]][t.vertexCol[1]] - h0),
                         static_cast<float>(t.vertexCol[1] - t.vertexCol[0])};
    const float e2[3] = {static_cast<float>(t.vertexRow[2] - t.vertexRow[0]),
                         static_cast<float>(waterHeight[t.vertexRow[2]][t.vertexCol[2]] - h0),
                         static_cast<float>(t.vertexCol[2] - t.vertexCol[0])};
    const float n[3] = {static_cast<float>(static_cast<double>(e1[1]) * e2[2] - static_cast<double>(e1[2]) * e2[1]),
                        static_cast<float>(static_cast<double>(e1[2]) * e2[0] - static_cast<double>(e1[0]) * e2[2]),
                        static_cast<float>(static_cast<double>(e1[0]) * e2[1] - static_cast<double>(e1[1]) * e2[0])};
    const float len = static_cast<float>(std::sqrt(static_cast<double>(n[0]) * n[0] +
                                                   static_cast<double>(n[1]) * n[1] +
                                                   static_cast<double>(n[2]) * n[2]));
    for (int a = 0; a < 3; ++a)
        normal[a] = static_cast<float>(-n[a] / static_cast<double>(len));
}

// Where the light through vertex p, refracted at normal n, meets the seabed;
// with sqrt(q) and T.y, which tell how well conditioned the point is.
struct Refracted {
    float x, z;   // the caustic point
    float rootQ;  // near 0 for light grazing the surface
    float rayY;   // near 0 for a refracted ray running almost flat
};

inline Refracted refract(const float n[3], Vec p)
{
    const double eta = 1.000277f;
    float d[3] = {static_cast<float>(static_cast<double>(lightX) - p.x),
                  static_cast<float>(static_cast<double>(lightY) - p.y),
                  static_cast<float>(static_cast<double>(lightZ) - p.z)};
    const float len = static_cast<float>(std::sqrt(static_cast<double>(d[0]) * d[0] +
                                                   static_cast<double>(d[1]) * d[1] +
                                                   static_cast<double>(d[2]) * d[2]));
    for (float &a : d)
        a = static_cast<float>(a / static_cast<double>(len));
    const float c = static_cast<float>(-(static_cast<double>(d[0]) * n[0] + static_cast<double>(d[1]) * n[1] +
                                         static_cast<double>(d[2]) * n[2]));
    float q = static_cast<float>(1.0 - eta * eta * (1.0 - static_cast<double>(c) * c));
    if (q < 0.0f)
        q = 0.0f;
    for (float &a : d)
        a = static_cast<float>(eta * a);
    const float rootQ = static_cast<float>(std::sqrt(static_cast<double>(q)));
    const double bend = eta * c - rootQ;
    float tr[3];
    for (int a = 0; a < 3; ++a)
        tr[a] = static_cast<float>(bend * n[a] + d[a]);
    return Refracted{static_cast<float>(-((static_cast<double>(tr[0]) / tr[1]) * seabedZ)),
                     static_cast<float>(-((static_cast<double>(tr[2]) / tr[1]) * seabedZ)), rootQ, tr[1]};
}

// Fills the per-frame fields of t for the triangle whose vertex indices src
// holds (t may be src itself).
inline void triangleValues(const WaterTriangle &src, WaterTriangle &t)
{
    float normal[3];
    normalOf(src, normal);
    const Vec p[3] = {vertexAt(src.vertexRow[0], src.vertexCol[0]), vertexAt(src.vertexRow[1], src.vertexCol[1]),
                      vertexAt(src.vertexRow[2], src.vertexCol[2])};
    for (int a = 0; a < 3; ++a)
        t.normal[a] = normal[a];
    t.lightDot = static_cast<float>(static_cast<double>(normal[0]) * lightX +
                                    static_cast<double>(normal[1]) * lightY +
                                    static_cast<double>(normal[2]) * lightZ);
    for (int k = 0; k < 3; ++k) {
        const Refracted r = refract(normal, p[k]);
        t.causticX[k] = r.x;
        t.causticZ[k] = r.z;
    }
    t.causticArea = area(Vec{t.causticX[0], seabedZ, t.causticZ[0]}, Vec{t.causticX[1], seabedZ, t.causticZ[1]},
                         Vec{t.causticX[2], seabedZ, t.causticZ[2]});
    t.shade = static_cast<float>(t.lightDot / 10.0 * 0.85);
    t.areaRatio = static_cast<float>(static_cast<double>(area(p[0], p[1], p[2])) / t.causticArea);
}

// Fills the per-frame fields of out[n] for every triangle n, reading the vertex
// indices of waterTriangles[n] (out may be waterTriangles itself).
inline void frameValues(WaterTriangle *out)
{
    for (int n = 0; n < triangleCount; ++n)
        triangleValues(waterTriangles[n], out[n]);
}

}  // namespace reference

// The rippled water of the tests and benchmarks, standing in for a scripted run
// of splashes and wave steps: three rings spreading from where splashes landed,
// each a sine of the distance in cells that fades outwards, superposed and
// clamped to -0.5 .. 0.5 as the wave step clamps the heights, so the strongest
// crests show the flat plateaus of a fresh, large disturbance. The border stays
// at rest, as the wave step never moves it. Deterministic: the same heights in
// every run on one machine.
inline void rippleWater()
{
    struct Ring {
        double row, col;     // centre, grid units
        double amplitude;    // world units before clamping
        double wavelength;   // grid units
        double fade;         // distance over which the ring weakens by e, grid units
    };
    const double TWO_PI = 6.283185307179586;
    const Ring rings[3] = {{58.0, 58.0, 0.9, 9.0, 30.0}, {30.0, 85.0, 0.5, 6.0, 20.0}, {90.0, 25.0, 0.35, 12.0, 45.0}};
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j) {
            if (i == 0 || j == 0 || i == GRID - 1 || j == GRID - 1) {
                waterHeight[i][j] = 0.0f;
                continue;
            }
            double h = 0.0;
            for (const Ring &r : rings) {
                const double d = std::hypot(i - r.row, j - r.col);
                h += r.amplitude * std::sin(TWO_PI * d / r.wavelength) * std::exp(-d / r.fade);
            }
            waterHeight[i][j] = static_cast<float>(std::clamp(h, -0.5, 0.5));
        }
}

// Heights from a fixed linear congruential sequence, uniform in -0.5 .. 0.5 on
// the interior; the border stays at rest. Rougher than any real run: every
// triangle tilts its own way, so the caustic points scatter widely.
inline void roughWater(unsigned seed)
{
    for (int i = 1; i < GRID - 1; ++i)
        for (int j = 1; j < GRID - 1; ++j) {
            seed = seed * 1103515245u + 12345u;
            waterHeight[i][j] = static_cast<float>((seed >> 8) % 1000001u) / 1000000.0f - 0.5f;
        }
}
