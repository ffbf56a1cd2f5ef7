// The pool floor and the floating box: what to draw is decided in the
// library (the box's case, pieces and colours), the GL layer draws it.
#pragma once

#include "scenery/textures.h"

constexpr float POOL_EDGE_MIN = -20.0f;         // world x and z of the pool's near edges
constexpr float POOL_EDGE_MAX = 19.0f;          // world x and z of the pool's far edges
constexpr float BOX_CROSSING_TOP = 0.5f;        // a box whose top is below this counts as submerged, world y
constexpr double BOX_UNDERWATER_SHADE = 0.75;   // brightness of the box's colour under water
constexpr float BOX_SEE_THROUGH_ALPHA = 0.2f;   // alpha of the part of a crossing box above the water
constexpr int NO_BOX_TEXTURE = -1;              // the box is drawn in its plain colour
constexpr int NO_SCENERY = -3;                  // envIndex and bottomIndex while no set is shown

// The scenery sets, in the order the 'e' key steps through them; after the
// last comes none. A set is known by its floor's texture entry, which is the
// value envIndex and bottomIndex hold while it is chosen.
struct ScenerySet {
    int floor;            // texture table entry of the pool floor
    int reflection;       // entry mapped onto the water by its normals
    int walls;            // entry on the two backdrop walls
    int boxTexture;       // entry that dresses the box while the set is chosen, or NO_BOX_TEXTURE
    const char *message;  // printed when the 'e' key chooses the set, or nullptr
};
constexpr ScenerySet SCENERY_SETS[] = {
    {0, 1, 2, NO_BOX_TEXTURE, nullptr},            // a haunted night
    {3, 4, 5, NO_BOX_TEXTURE, nullptr},            // pink trees
    {6, 7, 8, BOX_SPOTS_TEXTURE, "COW-STICS!!!\n"}, // cows on a meadow; the box wears spots
    {9, 10, 11, BOX_ICE_TEXTURE, nullptr},         // snow; the box is an ice cube
};
constexpr int SCENERY_SET_COUNT = sizeof SCENERY_SETS / sizeof SCENERY_SETS[0];
constexpr const char *NO_SCENERY_MESSAGE = "NO ENVIRONMENT SELECTED\n";  // printed when 'e' passes the last set

// The set whose floor entry is index, or nullptr.
const ScenerySet *scenerySetAt(int index);

// The value envIndex or bottomIndex takes after index when stepping through
// the sets: the next set's floor, NO_SCENERY after the last, the first after none.
int nextScenery(int index);

// How the box meets the water, tested in this order.
enum BoxCase {
    BOX_ABOVE_WATER,  // boxBottom > 0: wholly in the air
    BOX_SUBMERGED,    // otherwise, boxTop < 0.5: drawn as under water
    BOX_CROSSING,     // otherwise: drawn in two pieces split at the water level
};

// One piece of the box: six faces between two drawn heights.
struct BoxPiece {
    float lower;     // drawn height of the lower cap, world y with the view level
    float upper;     // drawn height of the upper cap, world y with the view level
    float color[4];  // r, g, b, a set before the lower cap
    int seeThrough;  // 1: the upper cap and the sides switch to BOX_SEE_THROUGH_ALPHA
};

// The box's case for boxBottom and boxTop.
BoxCase boxCase();

// The texture table entry that dresses the box in this scenery set, or NO_BOX_TEXTURE.
int boxTextureIndex();

// The pieces of the box in drawing order, with their heights and colours; returns 1 or 2.
int boxPieces(BoxPiece pieces[2]);

// textureIds[index], or 0 (no texture: plain colour) for an index outside the table.
unsigned int textureNameAt(int index);
