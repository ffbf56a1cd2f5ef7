#include "scenery/scenery.h"

#include "core/state.h"
#include "scenery/textures.h"

// The position in SCENERY_SETS of the set whose floor entry is index, or -1 (none).
static int scenerySetPosition(int index)
{
    for (int p = 0; p < SCENERY_SET_COUNT; ++p)
        if (SCENERY_SETS[p].floor == index)
            return p;
    return -1;
}

const ScenerySet *scenerySetAt(int index)
{
    const int p = scenerySetPosition(index);
    return p < 0 ? nullptr : &SCENERY_SETS[p];
}

int nextScenery(int index)
{
    const int next = scenerySetPosition(index) + 1;
    return next == SCENERY_SET_COUNT ? NO_SCENERY : SCENERY_SETS[next].floor;
}

BoxCase boxCase()
{
    if (boxBottom > 0.0f)
        return BOX_ABOVE_WATER;
    if (boxTop < BOX_CROSSING_TOP)
        return BOX_SUBMERGED;
    return BOX_CROSSING;
}

int boxTextureIndex()
{
    const ScenerySet *set = scenerySetAt(envIndex);
    return set ? set->boxTexture : NO_BOX_TEXTURE;
}

static float drawnHeight(float y)
{
    return static_cast<float>(static_cast<double>(y) + viewLevelOffset);
}

// A textured box is white so the texture shows as it is; a plain one takes
// the colour of its type. Under water both dim to three quarters.
static void pieceColor(int underwater, float color[4])
{
    const int textured = boxTextureIndex() != NO_BOX_TEXTURE;
    const double shade = underwater ? BOX_UNDERWATER_SHADE : 1.0;
    for (int c = 0; c < 3; ++c)
        color[c] = static_cast<float>(shade * (textured ? 1.0 : static_cast<double>(boxColor[c])));
    color[3] = 1.0f;
}

static void setPiece(BoxPiece &p, float lower, float upper, int underwater, int seeThrough)
{
    p.lower = lower;
    p.upper = upper;
    pieceColor(underwater, p.color);
    p.seeThrough = seeThrough;
}

int boxPieces(BoxPiece pieces[2])
{
    const float bottom = drawnHeight(boxBottom);
    const float top = drawnHeight(boxTop);
    const float water = drawnHeight(0.0f);
    switch (boxCase()) {
    case BOX_ABOVE_WATER:
        setPiece(pieces[0], bottom, top, 0, 0);
        return 1;
    case BOX_SUBMERGED:
        setPiece(pieces[0], bottom, top, 1, 0);
        return 1;
    case BOX_CROSSING:
        break;
    }
    setPiece(pieces[0], water, top, 0, 1);
    setPiece(pieces[1], bottom, water, 1, 0);
    return 2;
}

unsigned int textureNameAt(int index)
{
    if (index < 0 || index >= TEXTURE_COUNT)
        return 0;
    return textureIds[index];
}
