#include "app/keys.h"

#include <cmath>
#include <cstdio>

#include "core/random.h"
#include "core/state.h"
#include "scenery/scenery.h"
#include "water/simulation.h"

static constexpr double LIGHT_STEP = 1.0;        // light movement per key press, world units
static constexpr double LIGHT_LIMIT_XZ = 12.0;   // the light stays within -12 to 12 on x and z
static constexpr double LIGHT_MIN_Y = 5.0;       // the light never sinks below this height
static constexpr double SEABED_STEP = 1.0;       // seabed movement per key press, world units
static constexpr double SEABED_MAX = -10.0;      // the seabed rises no higher than this

static int toggled(int flag)
{
    return flag == 0 ? 1 : 0;
}

static float moved(float value, double step)
{
    return static_cast<float>(static_cast<double>(value) + step);
}

static void printLight()
{
    std::printf("The light is at position (%f, %f, %f)\n", static_cast<double>(lightX), static_cast<double>(lightY),
                static_cast<double>(lightZ));
}

// Moves one light coordinate by step unless that would pass its bound; the
// position is reported either way so the user sees where the light stands.
static void moveLight(float *coordinate, double step, bool allowed, const char *refusal)
{
    if (allowed)
        *coordinate = moved(*coordinate, step);
    else
        std::printf("%s", refusal);
    printLight();
}

static void stepEnvironment()
{
    envIndex = nextScenery(envIndex);
    const ScenerySet *set = scenerySetAt(envIndex);
    showEnvironment = set ? 1 : 0;
    const char *message = set ? set->message : NO_SCENERY_MESSAGE;
    if (message != nullptr)
        std::printf("%s", message);
}

static void stepPoolFloor()
{
    bottomIndex = nextScenery(bottomIndex);
    showPoolBottom = bottomIndex == NO_SCENERY ? 0 : 1;
}

static void nextBoxType()
{
    selectBoxType((boxType + 1) % BOX_TYPE_COUNT);
    std::printf("%s ", BOX_TYPES[boxType].name);
    std::printf("box has mass of %f\n", static_cast<double>(boxMass));
}

static void lowerSeabed()
{
    seabedZ = moved(seabedZ, -SEABED_STEP);
    std::printf("Seabed is at %f\n", static_cast<double>(seabedZ));
}

// A box lying on the seabed (or sunk below it) rides up with it, so the
// rising floor never swallows the box; a box above the old seabed stays put.
static void raiseSeabed()
{
    const float oldSeabed = seabedZ;
    if (seabedZ < SEABED_MAX) {
        seabedZ = moved(seabedZ, SEABED_STEP);
        std::printf("Seabed is at %f\n", static_cast<double>(seabedZ));
    } else {
        std::printf("Seabed is at maximum height, %f\n", static_cast<double>(seabedZ));
    }
    if (showBox == 1 && boxBottom <= oldSeabed) {
        boxBottom = seabedZ;
        boxTop = moved(seabedZ, static_cast<double>(BOX_HEIGHT));
    }
}

// The seabed view lifts the whole drawn scene by the seabed's depth, so the
// camera, which always turns about the origin, then turns about the seabed.
// The lift is fixed when the key is pressed; later seabed moves leave it.
static void switchViewLevel()
{
    surfaceView = toggled(surfaceView);
    if (surfaceView == 1)
        viewLevelOffset = 0.0f;
    else
        viewLevelOffset = static_cast<float>(static_cast<int>(std::fabs(static_cast<double>(seabedZ))));
}

KeyOutcome applyKey(unsigned char key)
{
    // Every press advances the shared sequence, so rain and splashes after a
    // key differ from those without it, whatever the key does.
    nextRandom();
    nextRandom();

    switch (key) {
    case KEY_ESCAPE:
        return KEY_EXIT_ESCAPE;
    case 'q':
    case 'Q':
        return KEY_EXIT_QUIT;
    case 'e':
        stepEnvironment();
        break;
    case 't':
        stepPoolFloor();
        break;
    case 'b':
        showBox = toggled(showBox);
        break;
    case 'n':
        nextBoxType();
        break;
    case 'm':
        boxDropping = toggled(boxDropping);
        break;
    case 'v':
        boxBottom = BOX_REST_BOTTOM;
        boxTop = BOX_REST_TOP;
        break;
    case 's':
        keySplash();
        break;
    case 'l':
        hardRain = 0;
        lightRain = toggled(lightRain);
        if (lightRain == 1)
            std::printf("Light rain falling\n");
        break;
    case 'h':
        lightRain = 0;
        hardRain = toggled(hardRain);
        if (hardRain == 1)
            std::printf("Hard rain falling\n");
        break;
    case '-':
        lowerSeabed();
        break;
    case '=':
        raiseSeabed();
        break;
    case '4':
        moveLight(&lightX, -LIGHT_STEP, lightX > -LIGHT_LIMIT_XZ, "The light cannot be translated along -x any further.\n");
        break;
    case '6':
        moveLight(&lightX, LIGHT_STEP, lightX < LIGHT_LIMIT_XZ, "The light cannot be translated along +x any further.\n");
        break;
    case '2':
        moveLight(&lightY, -LIGHT_STEP, lightY > LIGHT_MIN_Y, "The light cannot be translated along -y any further.\n");
        break;
    case '8':
        moveLight(&lightY, LIGHT_STEP, true, "");
        break;
    case '9':
        moveLight(&lightZ, -LIGHT_STEP, lightZ > -LIGHT_LIMIT_XZ, "The light cannot be translated along -z any further.\n");
        break;
    case '1':
        moveLight(&lightZ, LIGHT_STEP, lightZ < LIGHT_LIMIT_XZ, "The light cannot be translated along +z any further.\n");
        break;
    case 'c':
        showCaustics = toggled(showCaustics);
        break;
    case 'f':
        showMesh = toggled(showMesh);
        break;
    case 'w':
        switchViewLevel();
        break;
    case 'p':
        paused = toggled(paused);
        if (paused == 1)
            std::printf("System paused\n");
        break;
    default:
        break;  // no command: only the draws above and the redraw
    }
    return KEY_REDISPLAY;
}
