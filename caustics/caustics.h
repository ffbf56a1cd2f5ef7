// The caustic computation: light from the point (lightX, lightY, lightZ) is
// refracted at every vertex of every water triangle and followed to the seabed
// plane y = seabedZ; the per-triangle results live in the WaterTriangle records.
// The work runs eight (or four) triangles at a time and is shared between the
// processor's cores (caustics/workers.h); what it stores is exactly what the
// one-triangle-at-a-time formulas give, whatever the vector unit or the number
// of threads.
#pragma once

constexpr float ETA = 1.000277f;  // refraction ratio of the surface, dimensionless

extern int frameVectorUnit;  // widest vector unit a frame may use: 0 none (one lane), 1 SSE2 (4 lanes), 2 AVX (8 lanes, where the processor has it)

// Refreshes the normals, then lightDot, causticX, causticZ and causticArea of
// every triangle from waterHeight, the light position and seabedZ.
void computeCaustics();

// Sets shade (lightDot / 10 x 0.85) and areaRatio (surface area / causticArea)
// of every triangle; needs the results of computeCaustics.
void computeShadeAndAreaRatio();

// Everything a frame computes before it draws, in one pass: the values of
// computeCaustics and of computeShadeAndAreaRatio.
void computeFrameValues();
