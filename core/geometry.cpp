#include "core/geometry.h"

#include <cmath>

// The cross product of the two edges from P, component by component, each
// component rounded to float as it is stored.
static Point3 edgeCross(Point3 p, Point3 q, Point3 r)
{
    const double qx = static_cast<double>(q.x) - p.x, qy = static_cast<double>(q.y) - p.y,
                 qz = static_cast<double>(q.z) - p.z;
    const double rx = static_cast<double>(r.x) - p.x, ry = static_cast<double>(r.y) - p.y,
                 rz = static_cast<double>(r.z) - p.z;
    return Point3{static_cast<float>(qy * rz - qz * ry), static_cast<float>(qz * rx - rz * qx),
                  static_cast<float>(ry * qx - qy * rx)};
}

static double lengthOf(Point3 c)
{
    return std::sqrt(static_cast<double>(c.x) * c.x + static_cast<double>(c.y) * c.y + static_cast<double>(c.z) * c.z);
}

float triangleArea(Point3 p, Point3 q, Point3 r)
{
    return static_cast<float>(static_cast<float>(lengthOf(edgeCross(p, q, r))) / 2.0);
}

Point3 triangleUnitNormal(Point3 p, Point3 q, Point3 r)
{
    const Point3 c = edgeCross(p, q, r);
    const double len = static_cast<float>(lengthOf(c));
    return Point3{static_cast<float>(-c.x / len), static_cast<float>(-c.y / len), static_cast<float>(-c.z / len)};
}

// |U V W|: the determinant whose columns are U, V and W, rounded to float.
static float det3(Point3 u, Point3 v, Point3 w)
{
    const double d = static_cast<double>(u.x) * (static_cast<double>(v.y) * w.z - static_cast<double>(w.y) * v.z) -
                     static_cast<double>(v.x) * (static_cast<double>(u.y) * w.z - static_cast<double>(w.y) * u.z) +
                     static_cast<double>(w.x) * (static_cast<double>(u.y) * v.z - static_cast<double>(v.y) * u.z);
    return static_cast<float>(d);
}

float segmentPlaneParameter(Point3 a, Point3 b, Point3 c, Point3 d, Point3 e)
{
    // Cramer's rule on the 4 x 4 systems with columns (1, A), (1, B), (1, C)
    // and (1, D) or (0, E - D), expanded along the row of ones.
    const Point3 v5{static_cast<float>(static_cast<double>(e.x) - d.x), static_cast<float>(static_cast<double>(e.y) - d.y),
                    static_cast<float>(static_cast<double>(e.z) - d.z)};
    const float numerator = static_cast<float>(static_cast<double>(det3(b, c, d)) - det3(a, c, d) + det3(a, b, d) - det3(a, b, c));
    const float denominator = static_cast<float>(static_cast<double>(det3(b, c, v5)) - det3(a, c, v5) + det3(a, b, v5));
    return static_cast<float>(static_cast<double>(numerator) / denominator);
}
