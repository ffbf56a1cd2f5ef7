#include "water/simulation.h"

#include "app/state.h"
#include "water/droplets.h"
#include "water/mesh.h"

static constexpr int CENTRE = 58;                 // grid row and column of the splash centre
static constexpr int KEY_SPLASH_DROPLETS = 66;    // droplets thrown by the splash key
static constexpr float KEY_SPLASH_CENTRE = -40.0f;  // stamp of the splash key
static constexpr float KEY_SPLASH_EDGE = -5.0f;

void simulationStep()
{
}

void keySplash()
{
    dropletCount = KEY_SPLASH_DROPLETS;
    createSplash(0.0f, 0.0f, 1.0f);
    updateDroplets();
    stampDisplacement(CENTRE, CENTRE, KEY_SPLASH_CENTRE, KEY_SPLASH_EDGE);
}
