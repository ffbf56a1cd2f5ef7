// Small geometric helpers shared by the caustic computation and the drawing:
// points are three floats, arithmetic runs in double, results are floats.
#pragma once

struct Point3 {
    float x, y, z;  // world coordinates
};

// Half the length of (Q - P) x (R - P).
float triangleArea(Point3 p, Point3 q, Point3 r);

// The negated, normalised (Q - P) x (R - P): points up for a clockwise (seen from above) triangle.
Point3 triangleUnitNormal(Point3 p, Point3 q, Point3 r);

// The s for which D + s (D - E) lies on the plane through A, B, C; infinite or
// NaN when the line is parallel to the plane.
float segmentPlaneParameter(Point3 a, Point3 b, Point3 c, Point3 d, Point3 e);
