// What the caustic drawing decides for each water triangle, without drawing:
// how bright its image is, whether the image lies on the pool floor, and,
// when the box is shown, whether the box shadows it or catches it on a side
// face or on its top.
#pragma once

#include "core/geometry.h"
#include "core/state.h"
#include "scenery/scenery.h"
#include "water/mesh.h"

constexpr double CAUSTIC_THRESHOLD = 0.2;       // least brightness that is drawn; 0.2 itself is drawn
constexpr double SHADOW_BASE_HALF_SIZE = 8.0;   // half-width of the box's shadow square with the box at y = 0
constexpr float SHADOW_SENTINEL = -1000.0f;     // ray parameter of a vertex whose ray hits no side face
constexpr double BOX_TOP_LIFT = 0.1;            // caustics on the box top float this far above it, world units
constexpr float CAUSTIC_ALPHA = 0.75f;          // alpha of seabed and side-face caustics
constexpr double SEABED_TINT[3] = {0.75, 0.85, 1.0};   // light blue, times shade x brightness
constexpr double BOX_TOP_TINT[3] = {0.65, 0.75, 0.95}; // a little darker on the box top

// Values that stay the same for every triangle of one frame.
struct CausticFrame {
    Point3 lightUnit;   // the light position as a unit direction from the origin
    float shadowHalf;   // half-width of the shadow square on the seabed, world units
    Point3 lower[4];    // box corners at boxBottom: (-2, 2), (2, 2), (2, -2), (-2, -2) in (x, z)
    Point3 upper[4];    // the same corners at boxTop
};

// Where one triangle's caustic image goes this frame.
enum CausticPlace {
    CAUSTIC_HIDDEN,            // too dim, off the floor, in the box's shadow or missing the box
    CAUSTIC_SEABED,            // on the seabed
    CAUSTIC_BOX_SIDE,          // on the side faces of the submerged box
    CAUSTIC_BOX_SIDE_AND_TOP,  // on the side faces and on the top of the submerged box
};

// The light direction, the shadow square and the box corners for this frame.
CausticFrame beginCausticFrame();

// 8 / 2^(2 boxBottom / seabedZ): the shadow square shrinks as the box sinks.
float shadowHalfSize();

// Follows each vertex's ray from its caustic point back up through the water
// to a side face of the submerged box; 1 with the three hit points in image
// when all of them lie on the box, else 0.
int causticOnBoxSides(const WaterTriangle &t, const CausticFrame &frame, Point3 image[3]);

// 1 when the coordinate lies within the pool floor, -20 to 19 inclusive; NaN and infinities lie outside.
inline int onPoolFloor(float coord)
{
    // Asked as "inside?" rather than "below or above?" so that a NaN, which
    // fails every comparison, counts as outside.
    return (coord >= POOL_EDGE_MIN && coord <= POOL_EDGE_MAX) ? 1 : 0;
}

// 1 when all three caustic points of the triangle lie on the pool floor.
inline int causticOnPoolFloor(const WaterTriangle &t)
{
    for (int k = 0; k < 3; ++k)
        if (!onPoolFloor(t.causticX[k]) || !onPoolFloor(t.causticZ[k]))
            return 0;
    return 1;
}

// 1 when some caustic point lies strictly inside the shadow square of half-width halfSize.
inline int reachesShadow(const WaterTriangle &t, float halfSize)
{
    for (int k = 0; k < 3; ++k)
        if (-halfSize < t.causticX[k] && t.causticX[k] < halfSize && -halfSize < t.causticZ[k] &&
            t.causticZ[k] < halfSize)
            return 1;
    return 0;
}

// 1 when all three caustic points lie strictly within the box's footprint.
inline int causticOnBoxTop(const WaterTriangle &t)
{
    for (int k = 0; k < 3; ++k)
        if (!(-BOX_HALF_WIDTH < t.causticX[k] && t.causticX[k] < BOX_HALF_WIDTH && -BOX_HALF_WIDTH < t.causticZ[k] &&
              t.causticZ[k] < BOX_HALF_WIDTH))
            return 0;
    return 1;
}

// Decides where triangle t's image goes, given its brightness
// (lightUnit . normal) x areaRatio / 2; sets its hit points on the box sides
// when it goes there.
inline CausticPlace placeCaustic(const WaterTriangle &t, const CausticFrame &frame, float brightness, Point3 sideImage[3])
{
    if (showBox && reachesShadow(t, frame.shadowHalf)) {
        // A box still reaching out of the water shades everything beneath
        // it; a submerged one catches the light on its faces, however dim.
        if (boxTop >= 0.0f)
            return CAUSTIC_HIDDEN;
        if (!causticOnBoxSides(t, frame, sideImage))
            return CAUSTIC_HIDDEN;
        return causticOnBoxTop(t) ? CAUSTIC_BOX_SIDE_AND_TOP : CAUSTIC_BOX_SIDE;
    }

    if (brightness < CAUSTIC_THRESHOLD)
        return CAUSTIC_HIDDEN;
    if (!causticOnPoolFloor(t))
        return CAUSTIC_HIDDEN;
    return CAUSTIC_SEABED;
}

// tint x shade x brightness for red, green and blue.
inline void causticColor(const double tint[3], float shade, float brightness, float rgb[3])
{
    const double sv = static_cast<double>(shade) * brightness;  // exact: two floats fit a double
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<float>(tint[c] * sv);
}
