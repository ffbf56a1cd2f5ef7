// Start-up: the window, the callbacks, the water mesh and textures, the eye,
// the banner; then the toolkit's main loop runs everything else.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>

#include "app/banner.h"
#include "app/camera.h"
#include "app/input.h"
#include "render/frame.h"
#include "scenery/scenery_gl.h"
#include "scenery/textures.h"
#include "water/droplets.h"
#include "water/mesh.h"
#include "water/simulation.h"
#include "water/waves.h"

// Start-up of the water: the grids and the triangle list, then, as its last
// act, the textures and the light (which need the window's GL context). Ends
// the process with a message if the triangle list cannot be allocated.
static void buildWaterMesh()
{
    if (!buildWaterMeshData()) {
        std::printf("Cannot allocate memory for the %d water triangles\n", TRIANGLE_COUNT);
        std::exit(EXIT_FAILURE);
    }
    setupTexturesAndLight();
}

int main(int argc, char **argv)
{
    // Status lines must reach a piped console as they happen, not at exit.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    glutCreateWindow("Final Project");

    glutDisplayFunc(drawFrame);
    glutReshapeFunc(reshapeWindow);
    glutMouseFunc(handleMouseButton);
    glutMotionFunc(handleMouseMotion);
    glutKeyboardFunc(handleKey);
    glutIdleFunc(simulationStep);

    // Replaced by the perspective of the first reshape, before any frame.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.5, 2.5, -2.5, 2.5, -10000.0, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    buildWaterMesh();
    dropletDrawer = drawDropletSphere;
    frameDrawer = drawFrame;
    placeEye();
    printBanner();

    glutMainLoop();
    return 0;
}
