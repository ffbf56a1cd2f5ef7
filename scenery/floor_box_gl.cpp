#include <GL/glut.h>

#include "core/state.h"
#include "scenery/scenery.h"
#include "scenery/scenery_gl.h"
#include "scenery/textures.h"

// One corner of a box face: which footprint corner, at the upper or the
// lower height, and its texture coordinates.
struct FaceCorner {
    int corner;  // index into BOX_CORNERS
    int upper;   // 1: at the piece's upper height
    float s, t;  // texture coordinates
};

// The six faces of a piece in drawing order: lower cap, upper cap, then the
// sides between consecutive footprint corners. The caps run the same way
// round, and no face culling is used, so both show from either side.
static const FaceCorner BOX_FACES[6][4] = {
    {{0, 0, 0, 1}, {1, 0, 1, 1}, {2, 0, 1, 0}, {3, 0, 0, 0}},
    {{0, 1, 1, 1}, {1, 1, 0, 1}, {2, 1, 0, 0}, {3, 1, 1, 0}},
    {{0, 1, 0, 1}, {1, 1, 1, 1}, {1, 0, 1, 0}, {0, 0, 0, 0}},
    {{1, 1, 0, 1}, {2, 1, 1, 1}, {2, 0, 1, 0}, {1, 0, 0, 0}},
    {{2, 1, 0, 1}, {3, 1, 1, 1}, {3, 0, 1, 0}, {2, 0, 0, 0}},
    {{3, 1, 0, 1}, {0, 1, 1, 1}, {0, 0, 1, 0}, {3, 0, 0, 0}},
};
static constexpr int LOWER_CAP = 0;
static constexpr int UPPER_CAP = 1;

void drawPoolFloor()
{
    const float h = static_cast<float>(static_cast<double>(seabedZ) + viewLevelOffset);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureNameAt(bottomIndex));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // The floor picture is stretched once over the whole pool.
    glBegin(GL_POLYGON);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(POOL_EDGE_MIN, h, POOL_EDGE_MAX);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(POOL_EDGE_MIN, h, POOL_EDGE_MIN);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(POOL_EDGE_MAX, h, POOL_EDGE_MIN);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(POOL_EDGE_MAX, h, POOL_EDGE_MAX);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

static void drawPiece(const BoxPiece &p, int texture)
{
    const int textured = texture != NO_BOX_TEXTURE;
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textureNameAt(texture));
    }
    glColor4f(p.color[0], p.color[1], p.color[2], p.color[3]);

    for (int f = 0; f < 6; ++f) {
        const int cap = f == LOWER_CAP || f == UPPER_CAP;
        const int seeThroughStarts = p.seeThrough && f == UPPER_CAP;
        if (seeThroughStarts && textured)
            glColor4f(p.color[0], p.color[1], p.color[2], BOX_SEE_THROUGH_ALPHA);
        glBegin(textured && cap ? GL_QUADS : GL_POLYGON);
        if (seeThroughStarts && !textured)
            glColor4f(p.color[0], p.color[1], p.color[2], BOX_SEE_THROUGH_ALPHA);
        for (const FaceCorner &c : BOX_FACES[f]) {
            if (textured)
                glTexCoord2f(c.s, c.t);
            glVertex3f(BOX_CORNERS[c.corner][0], c.upper ? p.upper : p.lower, BOX_CORNERS[c.corner][1]);
        }
        glEnd();
    }

    if (textured)
        glDisable(GL_TEXTURE_2D);
}

void drawBox()
{
    BoxPiece pieces[2];
    const int count = boxPieces(pieces);
    const int texture = boxTextureIndex();
    for (int n = 0; n < count; ++n)
        drawPiece(pieces[n], texture);
}
