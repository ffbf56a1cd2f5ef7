#include "caustics/caustics.h"

#include <cmath>

#include "app/state.h"
#include "caustics/geometry.h"
#include "water/mesh.h"

static Point3 vertexPosition(int row, int col)
{
    return Point3{gridCoord(row), waterHeight[row][col], gridCoord(col)};
}

// Refracts the unit direction from the vertex towards the light at the
// triangle's normal and returns where the ray meets the seabed (x, z).
static void causticPoint(const float normal[3], Point3 p, float *causticX, float *causticZ)
{
    const double nx = normal[0], ny = normal[1], nz = normal[2];

    float dx = static_cast<float>(static_cast<double>(lightX) - p.x);
    float dy = static_cast<float>(static_cast<double>(lightY) - p.y);
    float dz = static_cast<float>(static_cast<double>(lightZ) - p.z);
    const float len = static_cast<float>(
        std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy + static_cast<double>(dz) * dz));
    dx = static_cast<float>(dx / static_cast<double>(len));
    dy = static_cast<float>(dy / static_cast<double>(len));
    dz = static_cast<float>(dz / static_cast<double>(len));

    const float c = static_cast<float>(-(dx * nx + dy * ny + dz * nz));
    // Total internal reflection cannot occur going into denser water, but the
    // ratio is so close to 1 that rounding can push q below 0 at grazing light.
    float q = static_cast<float>(1.0 - static_cast<double>(ETA) * ETA * (1.0 - static_cast<double>(c) * c));
    if (q < 0.0f)
        q = 0.0f;
    dx = static_cast<float>(static_cast<double>(ETA) * dx);
    dy = static_cast<float>(static_cast<double>(ETA) * dy);
    dz = static_cast<float>(static_cast<double>(ETA) * dz);

    const double bend = static_cast<double>(ETA) * c - static_cast<float>(std::sqrt(static_cast<double>(q)));
    const float tx = static_cast<float>(bend * nx + dx);
    const float ty = static_cast<float>(bend * ny + dy);
    const float tz = static_cast<float>(bend * nz + dz);

    // Only the direction counts: the point is where the refracted ray from the
    // origin meets the seabed, so it moves with the tilt of the surface.
    *causticX = static_cast<float>(-((static_cast<double>(tx) / ty) * seabedZ));
    *causticZ = static_cast<float>(-((static_cast<double>(tz) / ty) * seabedZ));
}

void computeCaustics()
{
    computeTriangleNormals();

    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.lightDot = static_cast<float>(static_cast<double>(t.normal[0]) * lightX +
                                        static_cast<double>(t.normal[1]) * lightY +
                                        static_cast<double>(t.normal[2]) * lightZ);
        for (int k = 0; k < 3; ++k)
            causticPoint(t.normal, vertexPosition(t.vertexRow[k], t.vertexCol[k]), &t.causticX[k], &t.causticZ[k]);
        t.causticArea = triangleArea(Point3{t.causticX[0], seabedZ, t.causticZ[0]},
                                     Point3{t.causticX[1], seabedZ, t.causticZ[1]},
                                     Point3{t.causticX[2], seabedZ, t.causticZ[2]});
    }
}

void computeShadeAndAreaRatio()
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.shade = static_cast<float>(t.lightDot / 10.0 * 0.85);
        const float surfaceArea = triangleArea(vertexPosition(t.vertexRow[0], t.vertexCol[0]),
                                               vertexPosition(t.vertexRow[1], t.vertexCol[1]),
                                               vertexPosition(t.vertexRow[2], t.vertexCol[2]));
        t.areaRatio = static_cast<float>(static_cast<double>(surfaceArea) / t.causticArea);
    }
}

void computeFrameValues()
{
    computeCaustics();
    computeShadeAndAreaRatio();
}
