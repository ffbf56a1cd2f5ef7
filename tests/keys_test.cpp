#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/input.h"
#include "app/keys.h"
#include "core/random.h"
#include "core/state.h"
#include "tests/gl_recorder.h"
#include "tests/scene_reset.h"
#include "water/droplets.h"
#include "water/mesh.h"

namespace {

class Keys : public ::testing::Test {
protected:
    void SetUp() override { resetSceneState(); }
    void TearDown() override { resetSceneState(); }
};

// Presses the keys in order and returns what they printed.
std::string press(const std::string &keys)
{
    testing::internal::CaptureStdout();
    for (char key : keys)
        EXPECT_EQ(applyKey(static_cast<unsigned char>(key)), KEY_REDISPLAY) << "key " << key;
    return testing::internal::GetCapturedStdout();
}

// Every value a key could change, the random generator apart.
std::vector<double> sceneSnapshot()
{
    std::vector<double> v = {double(showCaustics), double(showMesh), double(showBox), double(showEnvironment),
                             double(envIndex), double(showPoolBottom), double(bottomIndex), double(surfaceView),
                             viewLevelOffset, double(paused), double(lightRain), double(hardRain),
                             double(dropletCount), double(boxType), boxMass, boxColor[0], boxColor[1], boxColor[2],
                             boxBottom, boxTop, double(boxDropping), seabedZ, lightX, lightY, lightZ};
    for (const auto &row : waveDisplacement)
        for (float d : row)
            v.push_back(d);
    for (const Droplet &d : droplets)
        v.push_back(d.active);
    return v;
}

}  // namespace

TEST_F(Keys, LightStopsAtFiveOnYAndHasNoCeiling)
{
    EXPECT_EQ(press("22222"), "The light is at position (0.000000, 9.000000, 0.000000)\n"
                              "The light is at position (0.000000, 8.000000, 0.000000)\n"
                              "The light is at position (0.000000, 7.000000, 0.000000)\n"
                              "The light is at position (0.000000, 6.000000, 0.000000)\n"
                              "The light is at position (0.000000, 5.000000, 0.000000)\n");
    EXPECT_EQ(press("2"), "The light cannot be translated along -y any further.\n"
                          "The light is at position (0.000000, 5.000000, 0.000000)\n");
    EXPECT_EQ(lightY, 5.0f);
    press(std::string(40, '8'));
    EXPECT_EQ(lightY, 45.0f);
}

TEST_F(Keys, LightStaysWithinTwelveOnXAndZ)
{
    struct Case {
        char key;
        const float *coordinate;
        float limit;
        const char *refusal;
        const char *position;
    };
    const Case cases[] = {
        {'6', &lightX, 12.0f, "The light cannot be translated along +x any further.\n",
         "The light is at position (12.000000, 10.000000, 0.000000)\n"},
        {'4', &lightX, -12.0f, "The light cannot be translated along -x any further.\n",
         "The light is at position (-12.000000, 10.000000, 0.000000)\n"},
        {'1', &lightZ, 12.0f, "The light cannot be translated along +z any further.\n",
         "The light is at position (0.000000, 10.000000, 12.000000)\n"},
        {'9', &lightZ, -12.0f, "The light cannot be translated along -z any further.\n",
         "The light is at position (0.000000, 10.000000, -12.000000)\n"},
    };
    for (const Case &c : cases) {
        resetSceneState();
        const std::string twelve = press(std::string(12, c.key));
        EXPECT_EQ(*c.coordinate, c.limit) << c.key;
        EXPECT_EQ(twelve.find("cannot"), std::string::npos) << c.key;
        EXPECT_EQ(press(std::string(1, c.key)), std::string(c.refusal) + c.position) << c.key;
    }
}

TEST_F(Keys, SeabedRisesToMinusTenAndSinksWithoutLimit)
{
    EXPECT_EQ(press("======"), "Seabed is at -15.000000\nSeabed is at -14.000000\nSeabed is at -13.000000\n"
                                "Seabed is at -12.000000\nSeabed is at -11.000000\nSeabed is at -10.000000\n");
    EXPECT_EQ(press("="), "Seabed is at maximum height, -10.000000\n");
    EXPECT_EQ(seabedZ, -10.0f);
    const std::string down = press(std::string(30, '-'));
    EXPECT_EQ(down.substr(down.size() - 24), "Seabed is at -40.000000\n");
    EXPECT_EQ(viewLevelOffset, 0.0f) << "the seabed keys leave the view level alone";
}

TEST_F(Keys, RaisingTheSeabedLiftsAShownBoxLyingOnIt)
{
    showBox = 1;
    boxBottom = -16.0f;
    press("=");
    EXPECT_EQ(boxBottom, -15.0f);
    EXPECT_EQ(boxTop, -11.0f);

    // At the maximum the seabed stays, but a box sunk below it is still set on it.
    seabedZ = -10.0f;
    boxBottom = -30.0f;
    EXPECT_EQ(press("="), "Seabed is at maximum height, -10.000000\n");
    EXPECT_EQ(boxBottom, -10.0f);
    EXPECT_EQ(boxTop, -6.0f);
    press("-");
    EXPECT_EQ(boxBottom, -10.0f) << "lowering never moves the box";

    // A box above the old seabed, or a hidden one, stays where it is.
    seabedZ = -16.0f;
    boxBottom = -15.5f;
    press("=");
    EXPECT_EQ(boxBottom, -15.5f);
    showBox = 0;
    boxBottom = -16.0f;
    press("=");
    EXPECT_EQ(boxBottom, -16.0f);
}

TEST_F(Keys, BoxTypesCycleWithColourAndMass)
{
    EXPECT_EQ(press("nnn"), "Green box has mass of 2.000000\n"
                            "Blue box has mass of 0.500000\n"
                            "Red box has mass of 1.000000\n");
    press("nn");
    EXPECT_EQ(boxType, 2);
    EXPECT_EQ(boxMass, 0.5f);
    EXPECT_EQ(boxColor[1], 0.0f);
    EXPECT_EQ(boxColor[2], 1.0f);
}

TEST_F(Keys, RainPauseAndToggles)
{
    EXPECT_EQ(press("l"), "Light rain falling\n");
    EXPECT_EQ(press("h"), "Hard rain falling\n");
    EXPECT_EQ(lightRain, 0);
    EXPECT_EQ(press("h"), "");
    EXPECT_EQ(lightRain + hardRain, 0);
    press("hl");
    EXPECT_EQ(lightRain, 1);
    EXPECT_EQ(hardRain, 0);

    EXPECT_EQ(press("p"), "System paused\n");
    EXPECT_EQ(press("p"), "");
    EXPECT_EQ(paused, 0);

    press("bmcf");
    EXPECT_EQ(showBox + boxDropping, 2);
    EXPECT_EQ(showCaustics + showMesh, 0);
    boxBottom = -3.0f;
    press("v");
    EXPECT_EQ(boxBottom, 20.0f);
    EXPECT_EQ(boxTop, 24.0f);
    EXPECT_EQ(boxDropping, 1) << "a reset leaves the fall as it was";
    press("bmcf");
    EXPECT_EQ(showBox + boxDropping, 0);
    EXPECT_EQ(showCaustics + showMesh, 2);
}

TEST_F(Keys, EnvironmentAndFloorCycles)
{
    EXPECT_EQ(press("eee"), "COW-STICS!!!\n");
    EXPECT_EQ(envIndex, 9);
    EXPECT_EQ(press("e"), "NO ENVIRONMENT SELECTED\n");
    EXPECT_EQ(envIndex, -3);
    EXPECT_EQ(showEnvironment, 0);
    EXPECT_EQ(press("e"), "");
    EXPECT_EQ(showEnvironment, 1);

    for (int expected : {3, 6, 9, -3, 0}) {
        EXPECT_EQ(press("t"), "");
        EXPECT_EQ(bottomIndex, expected);
        EXPECT_EQ(showPoolBottom, expected == -3 ? 0 : 1);
    }
}

TEST_F(Keys, ViewLevelIsTakenFromTheSeabedOnlyWhenSwitched)
{
    press("w");
    EXPECT_EQ(viewLevelOffset, 16.0f);
    press("---");
    EXPECT_EQ(viewLevelOffset, 16.0f);
    press("w");
    EXPECT_EQ(viewLevelOffset, 0.0f);
    seabedZ = -12.75f;
    press("w");
    EXPECT_EQ(viewLevelOffset, 12.0f) << "the depth is truncated toward zero";
}

TEST_F(Keys, SplashThrowsDropletsAndStampsTheCentre)
{
    press("s");
    EXPECT_EQ(dropletCount, 66);
    EXPECT_EQ(waveDisplacement[58][58], -40.0f);
    EXPECT_EQ(waveDisplacement[57][59], -5.0f);
    EXPECT_EQ(droplets[0].active, 1);
}

TEST_F(Keys, EveryKeyDrawsTwiceAndKeysWithoutACommandChangeNothing)
{
    // The third draw from the start state is 6334.
    for (unsigned char key : {'x', 'E', 'p', '2', 'n', 'w', '\x1b', 'q', 'Q'}) {
        resetSceneState();
        testing::internal::CaptureStdout();
        applyKey(key);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(nextRandom(), 6334) << "key " << int(key);
    }

    resetSceneState();
    const std::vector<double> before = sceneSnapshot();
    EXPECT_EQ(press("xE3570 Pa\t"), "");
    EXPECT_EQ(sceneSnapshot(), before);
}

TEST_F(Keys, WindowLayerRedrawsAfterACommandAndExitsOnQuit)
{
    resetGlRecorder();
    testing::internal::CaptureStdout();
    handleKey('6', 10, 20);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "The light is at position (1.000000, 10.000000, 0.000000)\n");
    EXPECT_EQ(callNames(), "glutPostRedisplay");
    handleKey('x', 0, 0);
    EXPECT_EQ(countCalls("glutPostRedisplay"), 2);

    // Other tests leave worker threads behind, which a plain fork does not
    // carry over; the exit handlers then need a fresh process to run in.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(handleKey(27, 0, 0), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(handleKey('q', 0, 0), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(handleKey('Q', 0, 0), testing::ExitedWithCode(0), "");
}
