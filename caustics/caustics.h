// The caustic computation: light from the point (lightX, lightY, lightZ) is
// refracted at every vertex of every water triangle and followed to the seabed
// plane y = seabedZ; the per-triangle results live in the WaterTriangle records.
// It runs in vectors of triangles, shared between the processor's cores
// (caustics/workers.h), mostly in single precision; every triangle whose
// float results come near a drawing decision is computed again in double, so
// the drawing decides every triangle as the double formulas would, whatever
// the vector unit or the number of threads.
#pragma once

constexpr float ETA = 1.000277f;  // refraction ratio of the surface, dimensionless

struct Point3;

// World position of grid vertex (row, col) at its simulated height, without the view-level offset.
Point3 surfaceVertex(int row, int col);

extern int frameVectorUnit;       // widest vector unit a frame may use: 0 none (one lane), 1 SSE2, 2 AVX, 3 AVX-512; lowered to what the processor has
extern int frameDoubleOnly;       // 1: every triangle in double, as the one-at-a-time formulas; 0: float where that decides the same; flag
extern int frameTrianglesRedone;  // triangles the last computation did in double, 0 to TRIANGLE_COUNT

// Refreshes the normals, then lightDot, causticX, causticZ and causticArea of
// every triangle from waterHeight, the light position and seabedZ.
void computeCaustics();

// Sets shade (lightDot / 10 x 0.85) and areaRatio (surface area / causticArea)
// of every triangle; needs the results of computeCaustics.
void computeShadeAndAreaRatio();

// Everything a frame computes before it draws, in one pass: the values of
// computeCaustics and of computeShadeAndAreaRatio.
void computeFrameValues();
