#include "core/state.h"

// The variables start at zero and take their initial values from
// setInitialSceneValues below, the one place those values are written: when
// the process starts, and when a test puts the scene back as it was.
int showCaustics, showMesh, showBox, showEnvironment, envIndex, showPoolBottom, bottomIndex, surfaceView;
float viewLevelOffset;

int paused, lightRain, hardRain, stepCounter, lastRainStep[4], dropletCount;
const float dropletTimeScale = 0.1f;

int boxType;
float boxMass, boxColor[3], boxBottom, boxTop;
int boxDropping;
const float BOX_CORNERS[4][2] = {{-BOX_HALF_WIDTH, -BOX_HALF_WIDTH},
                                 {BOX_HALF_WIDTH, -BOX_HALF_WIDTH},
                                 {BOX_HALF_WIDTH, BOX_HALF_WIDTH},
                                 {-BOX_HALF_WIDTH, BOX_HALF_WIDTH}};

float seabedZ, lightX, lightY, lightZ;

float camPhi, camTheta, camRadius;
float eyeX, eyeY, eyeZ;
const float DEG_TO_RAD = 0.017453292f;  // pi/180 in single precision
int mouseX, mouseY, leftButtonDown, rightButtonDown, winWidth, winHeight;

void selectBoxType(int type)
{
    boxType = type;
    boxMass = BOX_TYPES[type].mass;
    for (int c = 0; c < 3; ++c)
        boxColor[c] = BOX_TYPES[type].color[c];
}

void setInitialSceneValues()
{
    showCaustics = 1;
    showMesh = 1;
    showBox = 0;
    showEnvironment = 1;
    envIndex = 0;
    showPoolBottom = 1;
    bottomIndex = 0;
    surfaceView = 1;
    viewLevelOffset = 0.0f;

    paused = 0;
    lightRain = 0;
    hardRain = 0;
    stepCounter = 0;
    for (int &step : lastRainStep)
        step = 0;
    dropletCount = 100;

    selectBoxType(0);
    boxBottom = BOX_REST_BOTTOM;
    boxTop = BOX_REST_TOP;
    boxDropping = 0;

    seabedZ = -16.0f;
    lightX = 0.0f;
    lightY = 10.0f;
    lightZ = 0.0f;

    camPhi = 0.7853982f;    // pi/4 in single precision
    camTheta = 1.3962634f;  // 80 degrees in single precision
    camRadius = 44.0f;
    eyeX = eyeY = eyeZ = 0.0f;  // placed at start-up from the three above
    mouseX = mouseY = 0;
    leftButtonDown = rightButtonDown = 0;
    winWidth = winHeight = 0;
}

// Runs before main: nothing reads the scene state during static initialisation.
static const bool initialValuesSet = (setInitialSceneValues(), true);
