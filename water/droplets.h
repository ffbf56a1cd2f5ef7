// Splash droplets: a fixed array of MAX_DROPLETS records, of which the first
// dropletCount are thrown by a splash and visited by each update.
#pragma once

constexpr int MAX_DROPLETS = 100;  // size of the droplet array

struct Droplet {
    unsigned char active;   // 1 while the droplet flies
    float fadeFactor;       // colour multiplier per update; starts at 1.05
    float fadeStep;         // subtracted from fadeFactor per update; 0.0005
    float color[3];         // current colour r, g, b
    float position[3];      // world position x, y, z
    float velocity[3];      // world units per update (scaled by dropletTimeScale)
    float acceleration[3];  // added to velocity per update
};

extern Droplet droplets[MAX_DROPLETS];  // all inactive at start

// Draws one droplet at the moment its update reaches it, with the colour it
// had before this update's fade, its position before the move and a radius of
// 0.075, 0.1 or 0.125. Installed by the drawing layer; null draws nothing.
extern void (*dropletDrawer)(const float color[3], const float position[3], double radius);

// Throws droplets 0 to dropletCount - 1 from near (originX, originZ); four
// random draws per droplet.
void createSplash(float originX, float originZ, float brightness);

// Draws, moves and retires the live droplets among the first dropletCount
// (one random draw each, for its size); one that falls back into the water
// stamps a small depression.
void updateDroplets();
