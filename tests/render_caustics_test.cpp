// The caustic batch as GL receives it, against the drawing rules written out
// here a second time, apart from the program's own: from the records of
// frame_reference.h this file decides, for every triangle in list order, what
// it draws on the seabed, on the sides of a submerged box and on its top,
// with which colour and where, and the program's batch must be exactly that.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "caustics/caustics.h"
#include "core/state.h"
#include "render/caustics_draw.h"
#include "tests/frame_reference.h"
#include "tests/gl_recorder.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"

namespace {

struct Vec3 {
    float x, y, z;
};

// One vertex of the expected batch, and the triangle whose image it is.
struct Expected {
    int triangle;
    float pos[3];
    float rgba[4];
};

struct ExpectedBatch {
    std::vector<Expected> vertices;
    int seabed = 0, side = 0, top = 0;  // triangles drawn in each place
    double offFace = 0.0;               // largest distance of a side hit from its face, a check on the plane arithmetic
};

// |U V W| with U, V, W as columns, expanded along the first components, in
// double and rounded to float: the rounding of the program's plane test,
// which a last-bit difference would carry into an on-the-box decision.
float det3(Vec3 u, Vec3 v, Vec3 w)
{
    const double minorU = double(v.y) * w.z - double(w.y) * v.z;
    const double minorV = double(u.y) * w.z - double(w.y) * u.z;
    const double minorW = double(u.y) * v.z - double(v.y) * u.z;
    return static_cast<float>(u.x * minorU - v.x * minorV + w.x * minorW);
}

// The s at which W + s (W - C) lies on the plane through a, b, c: a point P
// is on it when the 4 x 4 determinant of the columns (1, a), (1, b), (1, c),
// (1, P) vanishes, which is affine in P.
float crossingParameter(Vec3 a, Vec3 b, Vec3 c, Vec3 w, Vec3 seabedPoint)
{
    auto linearPart = [&](Vec3 p) { return double(det3(b, c, p)) - det3(a, c, p) + det3(a, b, p); };
    const Vec3 back{static_cast<float>(double(seabedPoint.x) - w.x), static_cast<float>(double(seabedPoint.y) - w.y),
                    static_cast<float>(double(seabedPoint.z) - w.z)};
    const float atW = static_cast<float>(linearPart(w) - det3(a, b, c));
    const float rate = static_cast<float>(linearPart(back));
    return static_cast<float>(double(atW) / rate);
}

// What the frame must draw from the records, with the current light, seabed,
// box and view level.
ExpectedBatch expectedBatch(const std::vector<WaterTriangle> &records)
{
    ExpectedBatch out;
    const float len =
        static_cast<float>(std::sqrt(double(lightX) * lightX + double(lightY) * lightY + double(lightZ) * lightZ));
    const float towardsLight[3] = {static_cast<float>(lightX / double(len)), static_cast<float>(lightY / double(len)),
                                   static_cast<float>(lightZ / double(len))};
    const float shadowHalf = static_cast<float>(8.0 / std::pow(2.0, 2.0 * boxBottom / double(seabedZ)));
    const float seabedY = static_cast<float>(double(seabedZ) + viewLevelOffset);
    const float topY = static_cast<float>((double(boxTop) + 0.1) + viewLevelOffset);
    // Footprint corners in the order the faces z = 2, x = 2, z = -2, x = -2 are tried.
    const float corner[4][2] = {{-2, 2}, {2, 2}, {2, -2}, {-2, -2}};

    for (int n = 0; n < static_cast<int>(records.size()); ++n) {
        const WaterTriangle &t = records[n];
        const float facing = static_cast<float>(towardsLight[0] * double(t.normal[0]) +
                                                towardsLight[1] * double(t.normal[1]) +
                                                towardsLight[2] * double(t.normal[2]));
        const float v = static_cast<float>(static_cast<float>(double(facing) * t.areaRatio) / 2.0);
        const double sv = double(t.shade) * v;
        auto add = [&](const float x[3], const float y[3], const float z[3], double r, double g, double b, float a) {
            for (int k = 0; k < 3; ++k)
                out.vertices.push_back(Expected{n, {x[k], y[k], z[k]},
                                                {static_cast<float>(r * sv), static_cast<float>(g * sv),
                                                 static_cast<float>(b * sv), a}});
        };
        auto inside = [](float c, float half) { return -half < c && c < half; };
        bool shadowed = false, overTop = true;
        for (int k = 0; k < 3; ++k) {
            shadowed = shadowed || (inside(t.causticX[k], shadowHalf) && inside(t.causticZ[k], shadowHalf));
            overTop = overTop && inside(t.causticX[k], 2.0f) && inside(t.causticZ[k], 2.0f);
        }

        if (showBox && shadowed) {
            if (boxTop >= 0.0f)
                continue;
            // Follow each vertex's ray back from its seabed point up through
            // the water; the last face it crosses under water catches it.
            float x[3], y[3], z[3];
            bool onBox = true;
            for (int k = 0; k < 3; ++k) {
                const int row = t.vertexRow[k], col = t.vertexCol[k];
                const Vec3 w{gridCoord(row), waterHeight[row][col], gridCoord(col)};
                const Vec3 c{t.causticX[k], seabedZ, t.causticZ[k]};
                float s = -1000.0f;
                for (int f = 0; f < 4; ++f) {
                    const int g = (f + 1) % 4;
                    const float p = crossingParameter(Vec3{corner[f][0], boxBottom, corner[f][1]},
                                                      Vec3{corner[g][0], boxBottom, corner[g][1]},
                                                      Vec3{corner[f][0], boxTop, corner[f][1]}, w, c);
                    const float height = static_cast<float>(w.y + (double(w.y) - c.y) * p);
                    if (height < 0.0f && height > seabedZ)
                        s = p;
                }
                const Vec3 hit{static_cast<float>(w.x + s * (double(w.x) - c.x)),
                               static_cast<float>(w.y + s * (double(w.y) - c.y)),
                               static_cast<float>(w.z + s * (double(w.z) - c.z))};
                onBox = onBox && hit.x >= -2.0f && hit.x <= 2.0f && hit.z >= -2.0f && hit.z <= 2.0f &&
                        hit.y >= boxBottom && hit.y <= boxTop;
                x[k] = hit.x;
                y[k] = static_cast<float>(double(hit.y) + viewLevelOffset);
                z[k] = hit.z;
            }
            if (!onBox)
                continue;
            for (int k = 0; k < 3; ++k)
                out.offFace = std::fmax(out.offFace,
                                        std::fmin(std::fabs(std::fabs(x[k]) - 2.0), std::fabs(std::fabs(z[k]) - 2.0)));
            add(x, y, z, 0.75, 0.85, 1.0, 0.75f);
            ++out.side;
            if (overTop) {
                const float topAt[3] = {topY, topY, topY};
                add(t.causticX, topAt, t.causticZ, 0.65, 0.75, 0.95, 1.0f);
                ++out.top;
            }
            continue;
        }

        // Bright enough, and every point on the floor (NaN is off it).
        bool onSeabed = !(v < 0.2);
        for (int k = 0; k < 3; ++k)
            for (float c : {t.causticX[k], t.causticZ[k]})
                onSeabed = onSeabed && c >= -20.0f && c <= 19.0f;
        if (!onSeabed)
            continue;
        const float seabedAt[3] = {seabedY, seabedY, seabedY};
        add(t.causticX, seabedAt, t.causticZ, 0.75, 0.85, 1.0, 0.75f);
        ++out.seabed;
    }
    return out;
}

// Computes the frame, draws its caustics and requires exactly the expected
// batch, vertex by vertex; returns the expectation for the case's own checks.
ExpectedBatch expectDrawnAsTheRules(const std::string &scene)
{
    SCOPED_TRACE(scene);
    std::vector<WaterTriangle> records(waterTriangles, waterTriangles + triangleCount);
    reference::frameValues(records.data());
    const ExpectedBatch expected = expectedBatch(records);

    computeFrameValues();
    resetGlRecorder();
    drawCaustics();
    const std::vector<DrawnVertex> drawn = drawnVertices();
    EXPECT_EQ(drawn.size(), expected.vertices.size());
    int failures = 0;
    for (size_t i = 0; i < drawn.size() && i < expected.vertices.size() && failures < 5; ++i) {
        const DrawnVertex &d = drawn[i];
        const Expected &e = expected.vertices[i];
        bool same = d.mode == GL_TRIANGLES;
        for (int a = 0; a < 3; ++a)
            same = same && d.pos[a] == e.pos[a];
        for (int a = 0; a < 4; ++a)
            same = same && d.color[a] == e.rgba[a];
        if (!same) {
            ADD_FAILURE() << "vertex " << i << " (triangle " << e.triangle << "): drawn (" << d.pos[0] << ", "
                          << d.pos[1] << ", " << d.pos[2] << ") colour (" << d.color[0] << ", " << d.color[1] << ", "
                          << d.color[2] << ", " << d.color[3] << "), expected (" << e.pos[0] << ", " << e.pos[1]
                          << ", " << e.pos[2] << ") colour (" << e.rgba[0] << ", " << e.rgba[1] << ", " << e.rgba[2]
                          << ", " << e.rgba[3] << ")";
            ++failures;
        }
    }
    EXPECT_LT(expected.offFace, 1e-4) << "the expected side hits must lie on the box's faces";
    return expected;
}

class RenderCaustics : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
    }
    void TearDown() override { resetSceneState(); }
};

}  // namespace

TEST_F(RenderCaustics, EveryDrawingDecisionIsTheRulesOfTheDoubleFormulas)
{
    enum { NO_BOX, RAISED, CROSSING, SUBMERGED, DEEP, BOXES };
    const struct {
        const char *name;
        float bottom, top;
    } boxes[BOXES] = {{"no box", 20, 24}, {"raised box", 20, 24}, {"crossing box", -2, 2},
                      {"submerged box", -8, -4}, {"deep box", -15, -11}};
    const float lights[2][3] = {{0, 10, 0}, {12, 5, 12}};
    ExpectedBatch total[BOXES];
    for (int surface = 0; surface < 2; ++surface)
        for (const auto &light : lights)
            for (int b = 0; b < BOXES; ++b)
                for (float offset : {0.0f, 16.0f}) {
                    resetWaterGrids();
                    surface == 0 ? rippleWater() : roughWater(777u);
                    lightX = light[0];
                    lightY = light[1];
                    lightZ = light[2];
                    showBox = b != NO_BOX;
                    boxBottom = boxes[b].bottom;
                    boxTop = boxes[b].top;
                    viewLevelOffset = offset;
                    const ExpectedBatch e = expectDrawnAsTheRules(
                        std::string(surface == 0 ? "rippled" : "rough") + ", light x " + std::to_string(light[0]) +
                        ", " + boxes[b].name + ", view level " + std::to_string(offset));
                    total[b].seabed += e.seabed;
                    total[b].side += e.side;
                    total[b].top += e.top;
                }
    // The cases were reached: a submerged box catches light on its sides and
    // its top, one reaching out of the water only shadows, and a raised one
    // shadows the whole pool.
    EXPECT_GT(total[SUBMERGED].side, 0);
    EXPECT_GT(total[SUBMERGED].top, 0);
    EXPECT_GT(total[DEEP].side, 0);
    EXPECT_GT(total[CROSSING].seabed, 0);
    EXPECT_LT(total[CROSSING].seabed, total[NO_BOX].seabed);
    EXPECT_EQ(total[RAISED].seabed, 0);
}

TEST_F(RenderCaustics, NonFiniteCausticPointsAndHiddenCaustics)
{
    // A light level with the water sends caustic points to infinity or NaN,
    // which lie neither in the shadow nor on the floor nor on the box.
    rippleWater();
    lightX = 1000.0f;
    lightY = 0.0f;
    showBox = 1;
    boxBottom = -8.0f;
    boxTop = -4.0f;
    expectDrawnAsTheRules("light level with the water, submerged box");
    showBox = 0;
    expectDrawnAsTheRules("light level with the water, no box");

    lightX = 0.0f;
    lightY = 10.0f;
    computeFrameValues();
    ASSERT_GT(causticVertexCount, 0);
    showCaustics = 0;
    computeFrameValues();
    EXPECT_EQ(causticVertexCount, 0);
}
