// Scene state: the globals through which the input callbacks, the simulation
// and the frame drawing talk to each other. Flags are ints holding 0 or 1;
// coordinates, angles and physical values are floats in world units (+y up,
// water at rest in y = 0) and radians.
#pragma once

// --- Display selections ----------------------------------------------------
extern int showCaustics;        // draw the caustic pattern on the seabed; flag
extern int showMesh;            // 1: polygons filled, 0: drawn as outlines; flag
extern int showBox;             // the box is drawn and shadows the caustics; flag
extern int showEnvironment;     // the scenery set envIndex is drawn; flag
extern int envIndex;            // first texture index of the scenery set: -3 (none), 0, 3, 6, 9
extern int showPoolBottom;      // the textured pool floor is drawn; flag
extern int bottomIndex;         // texture index of the pool floor: -3, 0, 3, 6, 9
extern int surfaceView;         // 1: view level at the water surface, 0: at the seabed; flag
extern float viewLevelOffset;   // added to every drawn height, world units: 0 or |seabedZ| truncated

// --- Simulation controls ---------------------------------------------------
extern int paused;              // nonzero: no wave step, no step count; flag
extern int lightRain;           // light rain falls; never 1 with hardRain; flag
extern int hardRain;            // hard rain falls; never 1 with lightRain; flag
extern int stepCounter;         // wave steps taken since start, 0 and up
extern int lastRainStep[4];     // stepCounter at the last run of each rain block
extern int dropletCount;        // droplets the next splash throws and an update visits, 0 to MAX_DROPLETS
extern const float dropletTimeScale;  // time scale of droplet motion, 0.1

// --- The box -----------------------------------------------------------------
// The box types the 'n' key steps through: the heavier the box, the harder its splash.
struct BoxType {
    const char *name;  // as the console names it
    float mass;        // boxMass of the type
    float color[3];    // boxColor of the type, r g b
};
constexpr BoxType BOX_TYPES[] = {
    {"Red", 1.0f, {1.0f, 0.0f, 0.0f}},
    {"Green", 2.0f, {0.0f, 1.0f, 0.0f}},
    {"Blue", 0.5f, {0.0f, 0.0f, 1.0f}},
};
constexpr int BOX_TYPE_COUNT = sizeof BOX_TYPES / sizeof BOX_TYPES[0];
constexpr float BOX_HALF_WIDTH = 2.0f;   // the box spans -2 to 2 on x and z, world units
constexpr float BOX_HEIGHT = 4.0f;       // boxTop - boxBottom wherever a key places the box, world units
constexpr float BOX_REST_BOTTOM = 20.0f; // boxBottom at rest above the pool, at start and after 'v'
constexpr float BOX_REST_TOP = BOX_REST_BOTTOM + BOX_HEIGHT;  // boxTop at rest, 24

extern int boxType;             // index into BOX_TYPES: 0 red, 1 green, 2 blue
extern float boxMass;           // BOX_TYPES[boxType].mass: 1.0, 2.0 or 0.5
extern float boxColor[3];       // BOX_TYPES[boxType].color: (1,0,0), (0,1,0) or (0,0,1)
extern float boxBottom;         // world y of the box's lower face; BOX_REST_BOTTOM at rest above the pool
extern float boxTop;            // world y of the box's upper face; boxBottom + BOX_HEIGHT when keys set it
extern int boxDropping;         // nonzero: each simulation step moves the box down; flag
extern const float BOX_CORNERS[4][2];  // the box's footprint (x, z), centred on the y axis

// --- Seabed and light --------------------------------------------------------
extern float seabedZ;           // world y of the seabed plane; at most -10, no lower limit
extern float lightX;            // light position x, -12 to 12
extern float lightY;            // light position y (height), 5 and up
extern float lightZ;            // light position z, -12 to 12

// --- Camera and input --------------------------------------------------------
extern float camPhi;            // azimuth of the eye from +z toward +x, radians, unbounded
extern float camTheta;          // polar angle of the eye from +y, radians, within (0, 3.14)
extern float camRadius;         // distance of the eye from the origin, 0.1 and up
extern float eyeX, eyeY, eyeZ;  // eye position, world, on the sphere of the three above
extern const float DEG_TO_RAD;  // one degree in radians; also the rotation per mouse pixel
extern int mouseX, mouseY;      // pointer at the last button event or drag, pixels, y from the top
extern int leftButtonDown;      // the left button is held; flag
extern int rightButtonDown;     // the right button is held; flag
extern int winWidth, winHeight; // window size at the last reshape, pixels

// Sets boxType and the mass and colour that go with it.
void selectBoxType(int type);

