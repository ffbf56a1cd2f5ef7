#include <GL/glut.h>

#include "app/state.h"
#include "render/caustic_rules.h"
#include "render/caustics_draw.h"
#include "water/mesh.h"

void drawCaustics()
{
    const CausticFrame frame = beginCausticFrame();
    const float seabedY = static_cast<float>(static_cast<double>(seabedZ) + viewLevelOffset);
    const float boxTopY = static_cast<float>((static_cast<double>(boxTop) + BOX_TOP_LIFT) + viewLevelOffset);

    // One batch for the whole frame: with additive blending the order does
    // not matter, and overlapping images simply add up their light.
    glBegin(GL_TRIANGLES);
    for (int n = 0; n < triangleCount; ++n) {
        const WaterTriangle &t = waterTriangles[n];
        float v;
        Point3 side[3];
        float rgb[3];
        const CausticPlace place = placeCaustic(t, frame, &v, side);
        if (place == CAUSTIC_HIDDEN)
            continue;

        causticColor(SEABED_TINT, t.shade, v, rgb);
        glColor4f(rgb[0], rgb[1], rgb[2], CAUSTIC_ALPHA);
        if (place == CAUSTIC_SEABED) {
            for (int k = 0; k < 3; ++k)
                glVertex3f(t.causticX[k], seabedY, t.causticZ[k]);
            continue;
        }

        for (int k = 0; k < 3; ++k)
            glVertex3f(side[k].x, static_cast<float>(static_cast<double>(side[k].y) + viewLevelOffset), side[k].z);
        if (place == CAUSTIC_BOX_SIDE_AND_TOP) {
            causticColor(BOX_TOP_TINT, t.shade, v, rgb);
            glColor3f(rgb[0], rgb[1], rgb[2]);
            for (int k = 0; k < 3; ++k)
                glVertex3f(t.causticX[k], boxTopY, t.causticZ[k]);
        }
    }
    glEnd();
}
