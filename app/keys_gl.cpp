#include <GL/glut.h>

#include <cstdlib>

#include "app/input.h"
#include "app/keys.h"

void handleKey(unsigned char key, int, int)
{
    const KeyOutcome outcome = applyKey(key);
    if (outcome != KEY_REDISPLAY)
        std::exit(outcome);
    glutPostRedisplay();
}
