#include <GL/glut.h>

#include "app/state.h"
#include "caustics/caustics.h"
#include "caustics/geometry.h"
#include "render/surface.h"
#include "scenery/scenery.h"
#include "scenery/textures.h"
#include "water/mesh.h"

static constexpr float PLAIN_WATER_COLOR[4] = {0.196f, 0.196f, 0.804f, 0.4f};  // translucent blue
static constexpr float WALL_TOP = 20.0f;        // height of the backdrop walls above the water, world units
static constexpr double TEXCOORD_CELLS = 116.0; // the reflection texture spans the grid once

static float texCoord(int index)
{
    return static_cast<float>(index / TEXCOORD_CELLS);
}

// A surface vertex where it is drawn: raised by the view level.
static void drawnSurfaceVertex(int row, int col)
{
    glVertex3f(gridCoord(row), static_cast<float>(static_cast<double>(waterHeight[row][col]) + viewLevelOffset),
               gridCoord(col));
}

static void surfaceCorner(int row, int col)
{
    glTexCoord2f(texCoord(row), texCoord(col));
    drawnSurfaceVertex(row, col);
}

// The surface mirrors the environment: sphere mapping looks the reflection up
// by each quad's normal, so the waves distort the picture as they tilt.
static void drawReflectingSurface()
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, textureNameAt(envIndex + 1));
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);

    for (int i = 0; i < GRID_CELLS; ++i)
        for (int j = 0; j < GRID_CELLS; ++j) {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            glBegin(GL_QUADS);
            // One normal, from three corners, serves the whole quad.
            const Point3 n = triangleUnitNormal(surfaceVertex(i, j), surfaceVertex(i + 1, j), surfaceVertex(i, j + 1));
            glNormal3f(n.x, n.y, n.z);
            surfaceCorner(i, j);
            surfaceCorner(i + 1, j);
            surfaceCorner(i + 1, j + 1);
            surfaceCorner(i, j + 1);
            glEnd();
        }

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
    glBindTexture(GL_TEXTURE_2D, textureNameAt(envIndex + 2));
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
    for (int n = 0; n < triangleCount; ++n) {
        const WaterTriangle &t = waterTriangles[n];
        glColor4f(PLAIN_WATER_COLOR[0], PLAIN_WATER_COLOR[1], PLAIN_WATER_COLOR[2], PLAIN_WATER_COLOR[3]);
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; ++k) {
            drawnSurfaceVertex(t.vertexRow[k], t.vertexCol[k]);
        }
        glEnd();
    }
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
