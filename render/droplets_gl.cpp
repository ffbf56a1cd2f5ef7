#include <GL/glut.h>

#include "render/frame.h"

static constexpr int SPHERE_SLICES = 10;
static constexpr int SPHERE_STACKS = 10;

// The sphere a droplet update draws, at the droplet's position before its move.
void drawDropletSphere(const float color[3], const float position[3], double radius)
{
    glColor3f(color[0], color[1], color[2]);
    glPushMatrix();
    glTranslatef(position[0], position[1], position[2]);
    glutSolidSphere(radius, SPHERE_SLICES, SPHERE_STACKS);
    glPopMatrix();
}
