#include "render/caustic_rules.h"

#include <cmath>

#include "app/state.h"
#include "caustics/caustics.h"

// The box's footprint as the shadow test walks it: the side faces are
// (lower k, lower k+1, upper k), so the faces come out as z = 2, x = 2,
// z = -2 and x = -2 in that order.
static const float SIDE_CORNERS[4][2] = {
    {-BOX_HALF_WIDTH, BOX_HALF_WIDTH},
    {BOX_HALF_WIDTH, BOX_HALF_WIDTH},
    {BOX_HALF_WIDTH, -BOX_HALF_WIDTH},
    {-BOX_HALF_WIDTH, -BOX_HALF_WIDTH},
};

float shadowHalfSize()
{
    // The box blocks a cone of light from above; the deeper it sits, the
    // smaller the patch of seabed it darkens.
    const double exponent = 2.0 * boxBottom / static_cast<double>(seabedZ);
    return static_cast<float>(SHADOW_BASE_HALF_SIZE / std::pow(2.0, exponent));
}

CausticFrame beginCausticFrame()
{
    CausticFrame f;
    const float len = static_cast<float>(std::sqrt(static_cast<double>(lightX) * lightX +
                                                   static_cast<double>(lightY) * lightY +
                                                   static_cast<double>(lightZ) * lightZ));
    f.lightUnit = Point3{static_cast<float>(lightX / static_cast<double>(len)),
                         static_cast<float>(lightY / static_cast<double>(len)),
                         static_cast<float>(lightZ / static_cast<double>(len))};
    f.shadowHalf = shadowHalfSize();
    for (int c = 0; c < 4; ++c) {
        f.lower[c] = Point3{SIDE_CORNERS[c][0], boxBottom, SIDE_CORNERS[c][1]};
        f.upper[c] = Point3{SIDE_CORNERS[c][0], boxTop, SIDE_CORNERS[c][1]};
    }
    return f;
}

float causticBrightness(const WaterTriangle &t, Point3 lightUnit)
{
    // A surface facing the light passes more of it, and a surface whose
    // image is smaller than itself concentrates what it passes.
    const float facing = static_cast<float>(static_cast<double>(lightUnit.x) * t.normal[0] +
                                            static_cast<double>(lightUnit.y) * t.normal[1] +
                                            static_cast<double>(lightUnit.z) * t.normal[2]);
    const float focused = static_cast<float>(static_cast<double>(facing) * t.areaRatio);
    return static_cast<float>(focused / 2.0);
}

int onPoolFloor(float coord)
{
    // Asked as "inside?" rather than "below or above?" so that a NaN, which
    // fails every comparison, counts as outside.
    return (coord >= POOL_EDGE_MIN && coord <= POOL_EDGE_MAX) ? 1 : 0;
}

int causticOnPoolFloor(const WaterTriangle &t)
{
    for (int k = 0; k < 3; ++k)
        if (!onPoolFloor(t.causticX[k]) || !onPoolFloor(t.causticZ[k]))
            return 0;
    return 1;
}

int reachesShadow(const WaterTriangle &t, float halfSize)
{
    for (int k = 0; k < 3; ++k)
        if (-halfSize < t.causticX[k] && t.causticX[k] < halfSize && -halfSize < t.causticZ[k] &&
            t.causticZ[k] < halfSize)
            return 1;
    return 0;
}

// True when p lies on the closed box; NaN coordinates count as off it.
static bool onBox(Point3 p)
{
    return p.x >= -BOX_HALF_WIDTH && p.x <= BOX_HALF_WIDTH && p.z >= -BOX_HALF_WIDTH && p.z <= BOX_HALF_WIDTH &&
           p.y >= boxBottom && p.y <= boxTop;
}

int causticOnBoxSides(const WaterTriangle &t, const CausticFrame &frame, Point3 image[3])
{
    int allOnBox = 1;
    for (int k = 0; k < 3; ++k) {
        const int row = t.vertexRow[k], col = t.vertexCol[k];
        const Point3 w = surfaceVertex(row, col);
        const Point3 c{t.causticX[k], seabedZ, t.causticZ[k]};

        // The ray that lit the seabed point c passed through the surface at
        // w; where it crossed a side face under water, that face catches
        // the light instead. A parallel ray gives an infinite or NaN
        // parameter, whose height fails the test and leaves the sentinel.
        float s = SHADOW_SENTINEL;
        for (int face = 0; face < 4; ++face) {
            const float hit = segmentPlaneParameter(frame.lower[face], frame.lower[(face + 1) % 4], frame.upper[face],
                                                    w, c);
            const float y = static_cast<float>(w.y + (static_cast<double>(w.y) - c.y) * hit);
            if (y < 0.0f && y > seabedZ)
                s = hit;
        }
        image[k] = Point3{static_cast<float>(w.x + static_cast<double>(s) * (static_cast<double>(w.x) - c.x)),
                          static_cast<float>(w.y + static_cast<double>(s) * (static_cast<double>(w.y) - c.y)),
                          static_cast<float>(w.z + static_cast<double>(s) * (static_cast<double>(w.z) - c.z))};
        if (!onBox(image[k]))
            allOnBox = 0;
    }
    return allOnBox;
}

int causticOnBoxTop(const WaterTriangle &t)
{
    for (int k = 0; k < 3; ++k)
        if (!(-BOX_HALF_WIDTH < t.causticX[k] && t.causticX[k] < BOX_HALF_WIDTH && -BOX_HALF_WIDTH < t.causticZ[k] &&
              t.causticZ[k] < BOX_HALF_WIDTH))
            return 0;
    return 1;
}

CausticPlace placeCaustic(const WaterTriangle &t, const CausticFrame &frame, float *brightness, Point3 sideImage[3])
{
    *brightness = causticBrightness(t, frame.lightUnit);

    if (showBox && reachesShadow(t, frame.shadowHalf)) {
        // A box still reaching out of the water shades everything beneath
        // it; a submerged one catches the light on its faces, however dim.
        if (boxTop >= 0.0f)
            return CAUSTIC_HIDDEN;
        if (!causticOnBoxSides(t, frame, sideImage))
            return CAUSTIC_HIDDEN;
        return causticOnBoxTop(t) ? CAUSTIC_BOX_SIDE_AND_TOP : CAUSTIC_BOX_SIDE;
    }

    if (*brightness < CAUSTIC_THRESHOLD)
        return CAUSTIC_HIDDEN;
    if (!causticOnPoolFloor(t))
        return CAUSTIC_HIDDEN;
    return CAUSTIC_SEABED;
}

void causticColor(const double tint[3], float shade, float brightness, float rgb[3])
{
    const double sv = static_cast<double>(shade) * brightness;  // exact: two floats fit a double
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<float>(tint[c] * sv);
}
