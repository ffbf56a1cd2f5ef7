#include "water/droplets.h"


#include "core/random.h"
#include "core/state.h"
#include "water/mesh.h"

Droplet droplets[MAX_DROPLETS];  // all inactive at start
void (*dropletDrawer)(const float color[3], const float position[3], double radius) = nullptr;  // set by the GL layer

static constexpr float START_FADE_FACTOR = 1.05f;  // colour multiplier per update at birth
static constexpr float FADE_STEP = 0.0005f;        // fadeFactor lost per update
static constexpr double START_HEIGHT = 0.99;       // world y of a new droplet
static constexpr double START_RISE = 6.0;          // upward velocity of a new droplet
static constexpr double GRAVITY = -0.99;           // vertical acceleration per update
static constexpr double DRIFT = 0.1;               // horizontal acceleration along the direction
static constexpr double ORIGIN_SHIFT_X = 0.2;      // the burst starts this far on +x of its origin
static constexpr double SURFACE_TOP = -0.01;       // a droplet between these heights is just under the water
static constexpr double SURFACE_BOTTOM = -0.4;
static constexpr double DEATH_HEIGHT = -0.34;      // a droplet below this height stops
static constexpr int STAMP_MIN = 2;                // the depression's centre row and column stay
static constexpr int STAMP_MAX = 115;              // within these, so its neighbours lie in the grid
static constexpr float IMPACT_CENTRE = -3.0f;      // depression stamped where a droplet falls back
static constexpr float IMPACT_EDGE = 0.0f;
static constexpr double HORIZONTAL_STEPS = 100.0;  // dropletTimeScale x these divide the velocity per update
static constexpr double VERTICAL_STEPS = 50.0;     // (vertical motion runs at twice the horizontal pace)
static constexpr int SMALL_SIZE_BELOW = 10000;     // a size draw below this gives the small radius
static constexpr int MEDIUM_SIZE_BELOW = 20000;    // below this the medium one, else the large one
static constexpr double SMALL_RADIUS = 0.075;
static constexpr double MEDIUM_RADIUS = 0.1;
static constexpr double LARGE_RADIUS = 0.125;
static constexpr double SPRAY_COLOR[3] = {0.55, 0.65, 0.85};  // pale blue, times the burst's brightness
static constexpr double IMPACT_ORIGIN_INDEX = 58.0;  // row (and column) a droplet at world x (z) = 0 stamps

// Droplets visited by a splash or an update: the first dropletCount, never
// more than the array holds.
static int visitedDroplets()
{
    return dropletCount < MAX_DROPLETS ? dropletCount : MAX_DROPLETS;
}

// Horizontal direction from one draw: a skewed compass, never (0, 0).
static void directionOf(int x, int *dirX, int *dirZ)
{
    struct Band { int below; int dirX; int dirZ; };
    static constexpr Band BANDS[] = {
        {2000, 1, 0},   {8000, 1, -1},   {15000, 1, 1},  {17000, -1, 0}, {22000, -1, -1},
        {28000, -1, 1}, {30000, 0, 0},   {31000, 0, -1}, {RANDOM_MAX + 1, 0, 1},
    };
    for (const Band &band : BANDS)
        if (x < band.below) {
            *dirX = band.dirX;
            *dirZ = band.dirZ;
            break;
        }
    if (*dirX == 0 && *dirZ == 0)
        *dirX = 1;
}

void createSplash(float originX, float originZ, float brightness)
{
    const int count = visitedDroplets();
    for (int d = 0; d < count; ++d) {
        Droplet &drop = droplets[d];
        int dirX = 0, dirZ = 0;
        directionOf(nextRandom(), &dirX, &dirZ);

        drop.active = 1;
        drop.fadeFactor = START_FADE_FACTOR;
        drop.fadeStep = FADE_STEP;
        for (int c = 0; c < 3; ++c)
            drop.color[c] = static_cast<float>(brightness * SPRAY_COLOR[c]);

        const int k1 = nextRandom() % 3;
        drop.velocity[0] = static_cast<float>(dirX * k1);
        drop.velocity[1] = static_cast<float>(START_RISE);
        drop.velocity[2] = static_cast<float>(dirZ * k1);
        drop.acceleration[0] = static_cast<float>(dirX * DRIFT);
        drop.acceleration[1] = static_cast<float>(GRAVITY);
        drop.acceleration[2] = static_cast<float>(dirZ * DRIFT);

        const int k2 = nextRandom() % 3;
        drop.position[0] = static_cast<float>(dirX * k2 + static_cast<double>(originX) + ORIGIN_SHIFT_X);
        drop.position[1] = static_cast<float>(START_HEIGHT);
        const int k3 = nextRandom() % 3;
        drop.position[2] = static_cast<float>(dirZ * k3 + static_cast<double>(originZ));
    }
}

// Grid row (or column) a droplet at world x (or z) falls into: x = 0 maps to
// row 58, half a cell off the vertex positions, clamped so that the 3 x 3
// depression stays inside the grid. Clamped before the conversion to int,
// which is then always defined; the result is the truncated index clamped.
static int impactIndex(float coordinate)
{
    const double index = coordinate / static_cast<double>(CELL_SIZE) + IMPACT_ORIGIN_INDEX;
    if (!(index >= STAMP_MIN))
        return STAMP_MIN;
    if (index >= STAMP_MAX + 1)
        return STAMP_MAX;
    return static_cast<int>(index);
}

static double radiusOf(int x)
{
    return x < SMALL_SIZE_BELOW ? SMALL_RADIUS : x < MEDIUM_SIZE_BELOW ? MEDIUM_RADIUS : LARGE_RADIUS;
}

void updateDroplets()
{
    // The time scale divides the motion per update: about 10 horizontally, 5 vertically.
    const double horizontalDivisor = static_cast<double>(dropletTimeScale) * HORIZONTAL_STEPS;
    const double verticalDivisor = static_cast<double>(dropletTimeScale) * VERTICAL_STEPS;

    const int count = visitedDroplets();
    for (int d = 0; d < count; ++d) {
        Droplet &drop = droplets[d];
        if (!drop.active)
            continue;
        const float p[3] = {drop.position[0], drop.position[1], drop.position[2]};
        const float shownColor[3] = {drop.color[0], drop.color[1], drop.color[2]};
        for (float &c : drop.color)
            c = static_cast<float>(static_cast<double>(c) * drop.fadeFactor);

        if (p[1] < SURFACE_TOP && p[1] > SURFACE_BOTTOM)
            stampDisplacement(impactIndex(p[0]), impactIndex(p[2]), IMPACT_CENTRE, IMPACT_EDGE);

        // The size is drawn afresh at every update, so droplets flicker.
        const double radius = radiusOf(nextRandom());
        if (dropletDrawer != nullptr)
            dropletDrawer(shownColor, p, radius);

        drop.position[0] = static_cast<float>(drop.position[0] + drop.velocity[0] / horizontalDivisor);
        drop.position[1] = static_cast<float>(drop.position[1] + drop.velocity[1] / verticalDivisor);
        drop.position[2] = static_cast<float>(drop.position[2] + drop.velocity[2] / horizontalDivisor);
        for (int i = 0; i < 3; ++i)
            drop.velocity[i] = static_cast<float>(static_cast<double>(drop.velocity[i]) + drop.acceleration[i]);
        drop.fadeFactor = static_cast<float>(static_cast<double>(drop.fadeFactor) - drop.fadeStep);

        if (drop.fadeFactor < 0.0f)
            drop.active = 0;
        if (drop.position[1] < DEATH_HEIGHT)
            drop.active = 0;
    }
}
