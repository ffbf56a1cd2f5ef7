// The caustic computation: light from the point (lightX, lightY, lightZ) is
// refracted at every vertex of every water triangle and followed to the seabed
// plane y = seabedZ; the per-triangle results live in the WaterTriangle records.
#pragma once

constexpr float ETA = 1.000277f;  // refraction ratio of the surface, dimensionless

// Refreshes the normals, then lightDot, causticX, causticZ and causticArea of
// every triangle from waterHeight, the light position and seabedZ.
void computeCaustics();

// Sets shade (lightDot / 10 x 0.85) and areaRatio (surface area / causticArea)
// of every triangle; needs the results of computeCaustics.
void computeShadeAndAreaRatio();

// Everything a frame computes before it draws: computeCaustics, then
// computeShadeAndAreaRatio.
void computeFrameValues();
