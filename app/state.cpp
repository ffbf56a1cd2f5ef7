#include "app/state.h"

#include "water/droplets.h"
#include "water/mesh.h"
#include "water/random.h"

int showCaustics = 1;        // draw the caustic pattern on the seabed; flag
int showMesh = 1;            // 1: polygons filled, 0: drawn as outlines; flag
int showBox = 0;             // the box is drawn and shadows the caustics; flag
int showEnvironment = 1;     // the scenery set envIndex is drawn; flag
int envIndex = 0;            // first texture index of the scenery set: -3 (none), 0, 3, 6, 9
int showPoolBottom = 1;      // the textured pool floor is drawn; flag
int bottomIndex = 0;         // texture index of the pool floor: -3, 0, 3, 6, 9
int surfaceView = 1;         // 1: view level at the water surface, 0: at the seabed; flag
float viewLevelOffset = 0.0f;  // added to every drawn height, world units

int paused = 0;              // nonzero: no wave step, no step count; flag
int lightRain = 0;           // light rain falls; flag
int hardRain = 0;            // hard rain falls; flag
int stepCounter = 0;         // wave steps taken since start
int lastRainStep[4] = {0, 0, 0, 0};  // stepCounter at the last run of each rain block
int dropletCount = 100;      // droplets the next splash throws and an update visits
const float dropletTimeScale = 0.1f;  // time scale of droplet motion

int boxType = 0;             // 0 red, 1 green, 2 blue
float boxMass = 1.0f;        // 1.0, 2.0 or 0.5 for types 0, 1, 2
float boxColor[3] = {1.0f, 0.0f, 0.0f};  // r, g, b of the box
float boxBottom = 20.0f;     // world y of the box's lower face
float boxTop = 24.0f;        // world y of the box's upper face
int boxDropping = 0;         // nonzero: the box falls; flag
const float BOX_CORNERS[4][2] = {{-2.0f, -2.0f}, {2.0f, -2.0f}, {2.0f, 2.0f}, {-2.0f, 2.0f}};

float seabedZ = -16.0f;      // world y of the seabed plane
float lightX = 0.0f;         // light position x
float lightY = 10.0f;        // light position y
float lightZ = 0.0f;         // light position z

float camPhi = 0.7853982f;   // pi/4 in single precision
float camTheta = 1.3962634f; // 80 degrees in single precision
float camRadius = 44.0f;     // distance of the eye from the origin
float eyeX = 0.0f, eyeY = 0.0f, eyeZ = 0.0f;  // placed at start-up from the three above
const float DEG_TO_RAD = 0.017453292f;  // pi/180 in single precision
int mouseX = 0, mouseY = 0;  // pointer at the last button event or drag
int leftButtonDown = 0;      // the left button is held
int rightButtonDown = 0;     // the right button is held
int winWidth = 0, winHeight = 0;  // window size at the last reshape

void resetSceneState()
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

    boxType = 0;
    boxMass = 1.0f;
    boxColor[0] = 1.0f;
    boxColor[1] = 0.0f;
    boxColor[2] = 0.0f;
    boxBottom = 20.0f;
    boxTop = 24.0f;
    boxDropping = 0;

    seabedZ = -16.0f;
    lightX = 0.0f;
    lightY = 10.0f;
    lightZ = 0.0f;

    camPhi = 0.7853982f;
    camTheta = 1.3962634f;
    camRadius = 44.0f;
    eyeX = eyeY = eyeZ = 0.0f;
    mouseX = mouseY = 0;
    leftButtonDown = rightButtonDown = 0;
    winWidth = winHeight = 0;

    resetWaterGrids();
    resetDroplets();
    resetRandom();
}
