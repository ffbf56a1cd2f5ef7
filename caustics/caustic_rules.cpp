#include "caustics/caustic_rules.h"

#include <cmath>

#include "core/state.h"

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
    // The footprint walked backwards, so that the side faces (lower c,
    // lower c + 1, upper c) come out as z = 2, x = 2, z = -2 and x = -2.
    for (int c = 0; c < 4; ++c) {
        const float *corner = BOX_CORNERS[3 - c];
        f.lower[c] = Point3{corner[0], boxBottom, corner[1]};
        f.upper[c] = Point3{corner[0], boxTop, corner[1]};
    }
    return f;
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
