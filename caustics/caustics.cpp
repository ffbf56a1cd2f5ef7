// One frame's computation, row by row of grid cells: a loop over the cells of
// a row computes every value of one half of the triangle list into small
// per-row arrays (the loop the compiler vectorises), then a plain loop stores
// them in the triangle records and appends what the caustic rules draw.
#include "caustics/caustics.h"

#include <cmath>

#include "caustics/caustic_rules.h"
#include "core/state.h"
#include "core/vectorize.h"

float causticVertices[MAX_CAUSTIC_VERTICES][3];
float causticColors[MAX_CAUSTIC_VERTICES][4];
int causticVertexCount = 0;
float gridVertices[GRID * GRID][3];
float quadVertices[QUAD_VERTICES][3];
float quadNormals[QUAD_VERTICES][3];

// The fixed arrays: the triangle list as indices into the grid, and the
// reflecting quads' texture coordinates (which the sphere mapping replaces,
// but which are given as the quads have always given them).
static unsigned short triangleIndexArray[3 * TRIANGLE_COUNT];
static float quadTexCoordArray[QUAD_VERTICES][2];
const unsigned short *triangleIndices = triangleIndexArray;
const float (*quadTexCoords)[2] = quadTexCoordArray;

static_assert(GRID * GRID <= 65536, "grid indices must fit an unsigned short");

namespace {

// Vertex k of the triangle of cell (i, j) in each half of the triangle list,
// as offsets from (i, j): first the half with its right angle at (i, j), then
// the half with its right angle at (i + 1, j + 1) (water/mesh.cpp).
constexpr int CORNER_ROW[2][3] = {{0, 1, 0}, {0, 1, 1}};
constexpr int CORNER_COL[2][3] = {{0, 0, 1}, {1, 0, 1}};

// Room for the cells of one row, rounded up to whole vectors.
constexpr int ROW_ROOM = (GRID_CELLS + 15) / 16 * 16;

// The values of one half-row of triangles, one array element per cell.
struct RowValues {
    alignas(64) float normal[3][ROW_ROOM];
    alignas(64) float lightDot[ROW_ROOM];
    alignas(64) float causticX[3][ROW_ROOM];
    alignas(64) float causticZ[3][ROW_ROOM];
    alignas(64) float causticArea[ROW_ROOM];
    alignas(64) float shade[ROW_ROOM];
    alignas(64) float areaRatio[ROW_ROOM];
    alignas(64) float brightness[ROW_ROOM];  // how strongly the surface focuses the light, for the caustic rules
};

RowValues out;  // the half-row last computed

// What every cell of a frame reads besides the heights.
struct FrameLight {
    double x, y, z;   // light position
    double seabed;    // seabedZ
    double unitX, unitY, unitZ;  // the light position as a unit direction from the origin
};

// This frame's heights and grid coordinates, each row padded with zeros to
// whole vectors: the vector loops run over every lane of a row, and the lanes
// past the last cell compute harmless values that are never stored.
alignas(64) float heights[GRID][ROW_ROOM + 16];
alignas(64) float coords[ROW_ROOM + 16];
// The unit direction from each grid vertex to the light, x y z. It depends on
// the vertex alone, so the six triangles around a vertex share it.
alignas(64) float towardsLight[3][GRID][ROW_ROOM + 16];

inline float f(double v)
{
    return static_cast<float>(v);
}

// Half the length of (q - p) x (r - p); the cross product's components are
// stored as floats, its length is taken in double.
inline float areaOf(const float p[3], const float q[3], const float r[3])
{
    const double qx = double(q[0]) - p[0], qy = double(q[1]) - p[1], qz = double(q[2]) - p[2];
    const double rx = double(r[0]) - p[0], ry = double(r[1]) - p[1], rz = double(r[2]) - p[2];
    const double cx = f(qy * rz - qz * ry), cy = f(qz * rx - rz * qx), cz = f(ry * qx - qy * rx);
    return f(f(std::sqrt(cx * cx + cy * cy + cz * cz)) / 2.0);
}

// Every value of the triangles of half HALF of the cells in grid row i.
// Written for one cell at a time; the compiler runs the cells side by side.
// Where the formulas round one sum, product, quotient or square root of two
// floats to float, the float operation stands in for the double one: double's
// 53 bits hold more than twice float's 24, so both round to the same float,
// and float vectors are twice as wide.
template <int HALF>
inline __attribute__((always_inline)) void computeRowOf(int i, const FrameLight &light)
{
    constexpr const int *rowStep = CORNER_ROW[HALF];
    constexpr const int *colStep = CORNER_COL[HALF];
    // The normal's edges count one unit per cell across, not CELL_SIZE: the
    // tilt the caustics see is exaggerated by about three.
    constexpr float e1x = rowStep[1] - rowStep[0], e1z = colStep[1] - colStep[0];
    constexpr float e2x = rowStep[2] - rowStep[0], e2z = colStep[2] - colStep[0];

    for (int j = 0; j < ROW_ROOM; ++j) {
        float h[3];
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k)
            h[k] = heights[i + rowStep[k]][j + colStep[k]];
        // The horizontal components are 0 or +-1, so every product here is
        // exact and each component is one rounding, the same in float.
        const float e1y = h[1] - h[0], e2y = h[2] - h[0];
        const float cx = e1y * e2z - e1z * e2y;
        const float cy = e1z * e2x - e1x * e2z;
        const float cz = e1x * e2y - e1y * e2x;
        const float len = f(std::sqrt(double(cx) * cx + double(cy) * cy + double(cz) * cz));
        const float n[3] = {-cx / len, -cy / len, -cz / len};
        out.normal[0][j] = n[0];
        out.normal[1][j] = n[1];
        out.normal[2][j] = n[2];
        const float lightDot = f(n[0] * light.x + n[1] * light.y + n[2] * light.z);
        out.lightDot[j] = lightDot;

        float surface[3][3], image[3][3];
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k) {
            const int row = i + rowStep[k], col = j + colStep[k];
            const float p[3] = {coords[row], h[k], coords[col]};
            surface[k][0] = p[0];
            surface[k][1] = p[1];
            surface[k][2] = p[2];
            // The direction to the light, refracted into the water at the
            // triangle's normal.
            const float d[3] = {towardsLight[0][row][col], towardsLight[1][row][col], towardsLight[2][row][col]};
            const float c = f(-(double(d[0]) * n[0] + double(d[1]) * n[1] + double(d[2]) * n[2]));
            float q = f(1.0 - double(ETA) * ETA * (1.0 - double(c) * c));
            // Going into the denser medium never reflects totally; rounding
            // can still push q below 0 for light grazing the surface.
            q = q < 0.0f ? 0.0f : q;
            const double bend = double(ETA) * c - std::sqrt(q);
            float t[3];
#pragma GCC unroll 3
            for (int a = 0; a < 3; ++a)
                t[a] = f(bend * n[a] + ETA * d[a]);
            // Only the direction counts: the point is where the refracted ray
            // from the origin meets the seabed, so it moves with the tilt of
            // the surface rather than with the vertex.
            const float x = f(-((double(t[0]) / t[1]) * light.seabed));
            const float z = f(-((double(t[2]) / t[1]) * light.seabed));
            out.causticX[k][j] = x;
            out.causticZ[k][j] = z;
            image[k][0] = x;
            image[k][1] = f(light.seabed);
            image[k][2] = z;
        }
        const float causticArea = areaOf(image[0], image[1], image[2]);
        out.causticArea[j] = causticArea;
        out.shade[j] = f(lightDot / 10.0 * 0.85);
        const float areaRatio = areaOf(surface[0], surface[1], surface[2]) / causticArea;
        out.areaRatio[j] = areaRatio;
        // A surface facing the light passes more of it, and a surface whose
        // image is smaller than itself concentrates what it passes.
        const float facing = f(light.unitX * n[0] + light.unitY * n[1] + light.unitZ * n[2]);
        out.brightness[j] = f(f(double(facing) * areaRatio) / 2.0);
    }
}

VECTOR_CLONES void computeRow(int half, int i, const FrameLight &light)
{
    if (half == 0)
        computeRowOf<0>(i, light);
    else
        computeRowOf<1>(i, light);
}

// The unit direction from every vertex of grid row i to the light.
VECTOR_CLONES void computeLightDirections(int i, const FrameLight &light)
{
    for (int j = 0; j < ROW_ROOM; ++j) {
        float d[3] = {f(light.x - coords[i]), f(light.y - heights[i][j]), f(light.z - coords[j])};
        const float len = f(std::sqrt(double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2]));
        for (int a = 0; a < 3; ++a)
            towardsLight[a][i][j] = d[a] / len;
    }
}

// The unit normal of each reflecting quad of grid row i, from three of its
// corners at their simulated heights: (i, j), (i + 1, j), (i, j + 1).
VECTOR_CLONES void computeQuadNormals(int i, float normals[3][ROW_ROOM])
{
    for (int j = 0; j < ROW_ROOM; ++j) {
        const double px = coords[i], py = heights[i][j], pz = coords[j];
        const double qx = coords[i + 1] - px, qy = heights[i + 1][j] - py, qz = coords[j] - pz;
        const double rx = coords[i] - px, ry = heights[i][j + 1] - py, rz = coords[j + 1] - pz;
        const float cx = f(qy * rz - qz * ry), cy = f(qz * rx - rz * qx), cz = f(ry * qx - qy * rx);
        const float len = f(std::sqrt(double(cx) * cx + double(cy) * cy + double(cz) * cz));
        normals[0][j] = -cx / len;
        normals[1][j] = -cy / len;
        normals[2][j] = -cz / len;
    }
}

CausticFrame causticFrame;  // this frame's light direction, shadow and box corners
float seabedY, boxTopY;     // drawn heights of the seabed and of caustics on the box top

void appendCaustic(const WaterTriangle &t, float brightness);

// Stores the values of one half-row in the triangle records and, with
// withCaustics, appends what each triangle draws.
void storeRow(int half, int i, bool withCaustics)
{
    WaterTriangle *row = &waterTriangles[half * SURFACE_QUADS + i * GRID_CELLS];
    for (int j = 0; j < GRID_CELLS; ++j) {
        WaterTriangle &t = row[j];
        for (int k = 0; k < 3; ++k) {
            t.normal[k] = out.normal[k][j];
            t.causticX[k] = out.causticX[k][j];
            t.causticZ[k] = out.causticZ[k][j];
        }
        t.lightDot = out.lightDot[j];
        t.causticArea = out.causticArea[j];
        t.shade = out.shade[j];
        t.areaRatio = out.areaRatio[j];
        if (withCaustics)
            appendCaustic(t, out.brightness[j]);
    }
}

void computeTriangles(bool withCaustics)
{
    for (int n = 0; n < GRID; ++n)
        coords[n] = gridCoord(n);
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j)
            heights[i][j] = waterHeight[i][j];
    causticFrame = beginCausticFrame();
    seabedY = f(double(seabedZ) + viewLevelOffset);
    boxTopY = f((double(boxTop) + BOX_TOP_LIFT) + viewLevelOffset);
    const Point3 unit = causticFrame.lightUnit;
    const FrameLight light{lightX, lightY, lightZ, seabedZ, unit.x, unit.y, unit.z};
    for (int i = 0; i < GRID; ++i)
        computeLightDirections(i, light);
    for (int half = 0; half < 2; ++half)
        for (int i = 0; i < GRID_CELLS; ++i) {
            computeRow(half, i, light);
            storeRow(half, i, withCaustics);
        }
}

// --- The arrays the frame draws ------------------------------------------------------

void appendCausticTriangle(const float rgba[4], const float x[3], const float y[3], const float z[3])
{
    for (int k = 0; k < 3; ++k) {
        float *p = causticVertices[causticVertexCount];
        float *c = causticColors[causticVertexCount];
        p[0] = x[k];
        p[1] = y[k];
        p[2] = z[k];
        for (int a = 0; a < 4; ++a)
            c[a] = rgba[a];
        ++causticVertexCount;
    }
}

// Appends what triangle t draws, if anything: its image on the seabed, or on
// the sides (and the top) of the submerged box.
void appendCaustic(const WaterTriangle &t, float brightness)
{
    Point3 side[3];
    const CausticPlace place = placeCaustic(t, causticFrame, brightness, side);
    if (place == CAUSTIC_HIDDEN)
        return;
    float rgba[4] = {0.0f, 0.0f, 0.0f, CAUSTIC_ALPHA};
    causticColor(SEABED_TINT, t.shade, brightness, rgba);
    if (place == CAUSTIC_SEABED) {
        const float y[3] = {seabedY, seabedY, seabedY};
        appendCausticTriangle(rgba, t.causticX, y, t.causticZ);
        return;
    }
    const float x[3] = {side[0].x, side[1].x, side[2].x};
    const float z[3] = {side[0].z, side[1].z, side[2].z};
    float y[3];
    for (int k = 0; k < 3; ++k)
        y[k] = f(double(side[k].y) + viewLevelOffset);
    appendCausticTriangle(rgba, x, y, z);
    if (place == CAUSTIC_BOX_SIDE_AND_TOP) {
        // Given as an opaque colour: alpha 1.
        float top[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        causticColor(BOX_TOP_TINT, t.shade, brightness, top);
        const float topY[3] = {boxTopY, boxTopY, boxTopY};
        appendCausticTriangle(top, t.causticX, topY, t.causticZ);
    }
}

void fillGridVertices()
{
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j) {
            float *p = gridVertices[i * GRID + j];
            p[0] = coords[i];
            p[1] = f(double(waterHeight[i][j]) + viewLevelOffset);
            p[2] = coords[j];
        }
}

void fillQuads()
{
    alignas(64) static float normals[3][ROW_ROOM];
    for (int i = 0; i < GRID_CELLS; ++i) {
        computeQuadNormals(i, normals);
        for (int j = 0; j < GRID_CELLS; ++j) {
            const int first = 4 * (i * GRID_CELLS + j);
            const int corners[4] = {i * GRID + j, (i + 1) * GRID + j, (i + 1) * GRID + j + 1, i * GRID + j + 1};
            for (int c = 0; c < 4; ++c)
                for (int a = 0; a < 3; ++a) {
                    quadVertices[first + c][a] = gridVertices[corners[c]][a];
                    quadNormals[first + c][a] = normals[a][j];
                }
        }
    }
}

// The fixed arrays, filled once the triangle list exists.
void fillFixedArrays()
{
    static bool filled = false;
    if (filled)
        return;
    filled = true;
    for (int n = 0; n < TRIANGLE_COUNT; ++n)
        for (int k = 0; k < 3; ++k)
            triangleIndexArray[3 * n + k] =
                static_cast<unsigned short>(waterTriangles[n].vertexRow[k] * GRID + waterTriangles[n].vertexCol[k]);
    for (int i = 0; i < GRID_CELLS; ++i)
        for (int j = 0; j < GRID_CELLS; ++j) {
            const int corner[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
            for (int c = 0; c < 4; ++c) {
                quadTexCoordArray[4 * (i * GRID_CELLS + j) + c][0] = f(corner[c][0] / double(GRID_CELLS));
                quadTexCoordArray[4 * (i * GRID_CELLS + j) + c][1] = f(corner[c][1] / double(GRID_CELLS));
            }
        }
}

}  // namespace

void computeCaustics()
{
    // The row-wise form relies on the fixed triangle order of the built
    // mesh; before the mesh exists there is nothing to compute.
    if (triangleCount != TRIANGLE_COUNT)
        return;
    computeTriangles(false);
}

void computeFrameValues()
{
    causticVertexCount = 0;
    if (triangleCount != TRIANGLE_COUNT)
        return;
    fillFixedArrays();
    computeTriangles(showCaustics);
    fillGridVertices();
    if (showEnvironment)
        fillQuads();
}
