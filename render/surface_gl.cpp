#include <GL/glut.h>

#include "caustics/caustics.h"
#include "core/state.h"
#include "render/surface.h"
#include "scenery/scenery.h"
#include "scenery/textures.h"

static constexpr float PLAIN_WATER_COLOR[4] = {0.196f, 0.196f, 0.804f, 0.4f};  // translucent blue
static constexpr float WALL_TOP = 20.0f;        // height of the backdrop walls above the water, world units

// The surface mirrors the environment: sphere mapping looks the reflection up
// by each quad's normal, so the waves distort the picture as they tilt.
static void drawReflectingSurface()
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const ScenerySet *set = scenerySetAt(envIndex);
    glBindTexture(GL_TEXTURE_2D, textureNameAt(set ? set->reflection : NO_SCENERY));
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, quadVertices);
    glNormalPointer(GL_FLOAT, 0, quadNormals);
    glTexCoordPointer(2, GL_FLOAT, 0, quadTexCoords);
    glDrawArrays(GL_QUADS, 0, QUAD_VERTICES);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
}

// Two walls close the scene behind the pool on the sides x = -20 and z = -20;
// both carry texture s = 1 at their shared corner, so their pictures meet
// there mirrored.
static void drawWalls()
{
    const float bottom = static_cast<float>(0.0 + viewLevelOffset);
    const float top = static_cast<float>(static_cast<double>(WALL_TOP) + viewLevelOffset);
    const float nearEdge = POOL_EDGE_MIN, farEdge = POOL_EDGE_MAX;

    glEnable(GL_TEXTURE_2D);
    const ScenerySet *set = scenerySetAt(envIndex);
    glBindTexture(GL_TEXTURE_2D, textureNameAt(set ? set->walls : NO_SCENERY));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(nearEdge, bottom, farEdge);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(nearEdge, bottom, nearEdge);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(nearEdge, top, nearEdge);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(nearEdge, top, farEdge);
    glEnd();

    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(nearEdge, bottom, nearEdge);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(farEdge, bottom, nearEdge);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(farEdge, top, nearEdge);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(nearEdge, top, nearEdge);
    glEnd();

    glDisable(GL_TEXTURE_2D);
}

// Without scenery the water is a thin blue film that adds a little colour
// over the floor and the caustics it covers.
static void drawPlainSurface()
{
    glColor4f(PLAIN_WATER_COLOR[0], PLAIN_WATER_COLOR[1], PLAIN_WATER_COLOR[2], PLAIN_WATER_COLOR[3]);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, gridVertices);
    glDrawElements(GL_TRIANGLES, 3 * TRIANGLE_COUNT, GL_UNSIGNED_SHORT, triangleIndices);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawWaterSurface()
{
    if (showEnvironment) {
        drawReflectingSurface();
        drawWalls();
    } else {
        drawPlainSurface();
    }
}
