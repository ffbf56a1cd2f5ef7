#include "water/simulation.h"

#include <cstdio>

#include "core/random.h"
#include "core/state.h"
#include "water/droplets.h"
#include "water/mesh.h"
#include "water/waves.h"

static constexpr int CENTRE = 58;                   // grid row and column of the splash centre
static constexpr int KEY_SPLASH_DROPLETS = 66;      // droplets thrown by the splash key
static constexpr float KEY_SPLASH_CENTRE = -40.0f;  // stamp of the splash key
static constexpr float KEY_SPLASH_EDGE = -5.0f;

// Rain: each block covers a quarter of the grid with four spots, which wander
// with the step count so that the drops do not always fall on the same
// vertices. A spot is a pair of numerators divided by the block's divisor.
static constexpr float LIGHT_RAIN_DROP = -5.0f;   // centre of a light rain drop's stamp
static constexpr float HARD_RAIN_DROP = -15.0f;   // centre of a hard rain drop's stamp
static constexpr float RAIN_EDGE_SHARE = 4.0f;    // the stamp's edge is its centre divided by this
static constexpr int RAIN_DRAW_SCALE = 32000;     // a draw whose quotient by this is 1 (>= 32000) drops
static constexpr int RAIN_SPOTS = 4;              // spots per block
static constexpr int RAIN_PERIODS[3] = {13, 17, 19};  // step counts that pick the first three divisors

// Divisors of each block for step counts divisible by 13, by 17, by 19, and otherwise.
static constexpr int RAIN_DIVISORS[RAIN_BLOCKS][4] = {
    {6, 4, 5, 7}, {8, 11, 10, 9}, {10, 9, 11, 8}, {11, 10, 9, 8}};
// (row, column) numerators of each block's spots.
static constexpr int RAIN_NUMERATORS[RAIN_BLOCKS][RAIN_SPOTS][2] = {
    {{117, 117}, {117, 351}, {351, 117}, {351, 351}},
    {{117, 585}, {117, 819}, {351, 585}, {351, 819}},
    {{585, 117}, {585, 351}, {819, 117}, {819, 351}},
    {{585, 585}, {585, 819}, {819, 585}, {819, 819}}};

// The box falls through the air at 1.5 x its mass per step and sinks through
// the water at a tenth of its mass; it meets the water when its bottom is at 0.5.
static constexpr double AIR_FALL = 1.5;           // fall per step and unit of mass, above the water
static constexpr double WATER_SINK = 0.1;         // sink per step and unit of mass, in the water
static constexpr float WATERLINE = 0.5f;          // boxBottom at the moment of impact
static constexpr float HEAVY_MASS = 2.0f;         // the heavy box would step over the waterline:
static constexpr float HEAVY_LAST_BOTTOM = 2.0f;  // from this bottom it is put exactly on it
static constexpr float HEAVY_LANDING_TOP = 4.5f;  // its top there
static constexpr double SPLASH_DROPLETS = 100.0;  // droplets thrown by a box of mass 1.5
static constexpr double SPLASH_MASS_SCALE = 1.5;
static constexpr double BOX_IMPACT_CENTRE = -100.0;  // impact stamp per unit of mass
static constexpr double BOX_IMPACT_EDGE = -25.0;

// Divisor of a block for the current step count.
static int rainDivisor(int block)
{
    for (int p = 0; p < 3; ++p)
        if (stepCounter % RAIN_PERIODS[p] == 0)
            return RAIN_DIVISORS[block][p];
    return RAIN_DIVISORS[block][3];
}

static void rain()
{
    const float centre = lightRain != 0 ? LIGHT_RAIN_DROP : HARD_RAIN_DROP;
    const float edge = centre / RAIN_EDGE_SHARE;
    for (int block = 0; block < RAIN_BLOCKS; ++block) {
        // Each block rains at most once per wave step, also when several idle
        // calls see the same step count (while paused).
        if (stepCounter <= lastRainStep[block])
            continue;
        const int divisor = rainDivisor(block);
        for (const auto &spot : RAIN_NUMERATORS[block])
            // Every spot draws, whether or not its drop falls, so the sequence
            // advances by four per block.
            if (nextRandom() / RAIN_DRAW_SCALE == 1)
                stampDisplacement(spot[0] / divisor, spot[1] / divisor, centre, edge);
        lastRainStep[block] = stepCounter;
    }
}

static void moveBox()
{
    if (boxBottom > WATERLINE && boxMass == HEAVY_MASS && boxBottom == HEAVY_LAST_BOTTOM) {
        boxTop = HEAVY_LANDING_TOP;
        boxBottom = WATERLINE;
    } else if (boxBottom > WATERLINE) {
        boxTop = static_cast<float>(boxTop - boxMass * AIR_FALL);
        boxBottom = static_cast<float>(boxBottom - boxMass * AIR_FALL);
    } else if (boxBottom > seabedZ) {
        boxTop = static_cast<float>(boxTop - boxMass * WATER_SINK);
        boxBottom = static_cast<float>(boxBottom - boxMass * WATER_SINK);
    }
}

// The box meets the water: the light box throws fewer droplets, the heavy one
// all of them, and the dent it makes is as deep as it is heavy.
static void boxImpact()
{
    std::printf("KABLoOOYE\n");
    // Lowered to the array size before the conversion, so that no mass can
    // give a count the droplet array does not hold.
    double count = SPLASH_DROPLETS / ((1.0 / boxMass) * SPLASH_MASS_SCALE);
    if (!(count <= MAX_DROPLETS))
        count = MAX_DROPLETS;
    if (count < 0.0)
        count = 0.0;
    dropletCount = static_cast<int>(count);
    createSplash(0.0f, 0.0f, 1.0f);
    updateDroplets();
    stampDisplacement(CENTRE, CENTRE, static_cast<float>(BOX_IMPACT_CENTRE * boxMass),
                      static_cast<float>(BOX_IMPACT_EDGE * boxMass));
}

void simulationStep()
{
    if (lightRain == 1 || hardRain == 1)
        rain();

    if (boxDropping != 0) {
        moveBox();
        if (boxBottom == WATERLINE)
            boxImpact();
    }

    if (paused == 0) {
        propagateWaves();
        ++stepCounter;
    }
}

void keySplash()
{
    dropletCount = KEY_SPLASH_DROPLETS;
    createSplash(0.0f, 0.0f, 1.0f);
    updateDroplets();
    stampDisplacement(CENTRE, CENTRE, KEY_SPLASH_CENTRE, KEY_SPLASH_EDGE);
}
