#include <GL/glut.h>

#include <cstdlib>

#include "app/input.h"
#include "water/random.h"

static constexpr unsigned char KEY_ESCAPE = 27;

void handleKey(unsigned char key, int, int)
{
    nextRandom();
    nextRandom();
    if (key == KEY_ESCAPE)
        std::exit(1);
    if (key == 'q' || key == 'Q')
        std::exit(0);
    glutPostRedisplay();
}
