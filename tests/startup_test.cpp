#include <gtest/gtest.h>

#include <string>

static constexpr double PI = 3.14159265358979323846;

#include "app/banner.h"
#include "app/camera.h"
#include "core/state.h"
#include "render/frame.h"
#include "tests/gl_recorder.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"

TEST(Startup, InitialSceneState)
{
    resetSceneState();
    EXPECT_EQ(showCaustics, 1);
    EXPECT_EQ(showMesh, 1);
    EXPECT_EQ(showBox, 0);
    EXPECT_EQ(showEnvironment, 1);
    EXPECT_EQ(envIndex, 0);
    EXPECT_EQ(showPoolBottom, 1);
    EXPECT_EQ(bottomIndex, 0);
    EXPECT_EQ(surfaceView, 1);
    EXPECT_EQ(viewLevelOffset, 0.0f);
    EXPECT_EQ(paused + lightRain + hardRain + stepCounter + boxDropping + boxType, 0);
    EXPECT_EQ(dropletCount, 100);
    EXPECT_EQ(boxMass, 1.0f);
    EXPECT_EQ(boxColor[0], 1.0f);
    EXPECT_EQ(boxBottom, 20.0f);
    EXPECT_EQ(boxTop, 24.0f);
    EXPECT_EQ(seabedZ, -16.0f);
    EXPECT_EQ(lightY, 10.0f);
    EXPECT_EQ(camPhi, static_cast<float>(PI / 4));
    EXPECT_EQ(camTheta, static_cast<float>(80 * PI / 180));
    EXPECT_EQ(DEG_TO_RAD, static_cast<float>(PI / 180));
}

TEST(Startup, EyeFromTheSphericalCamera)
{
    resetSceneState();
    placeEye();
    EXPECT_EQ(eyeX, 30.640026f);
    EXPECT_EQ(eyeY, 7.6405215f);
    EXPECT_EQ(eyeZ, 30.640026f);
}

TEST(Startup, BannerAndControls)
{
    resetSceneState();
    testing::internal::CaptureStdout();
    printBanner();
    const std::string out = testing::internal::GetCapturedStdout();

    const std::string head = "\nQUARRY7 FINAL PROJECT: Under-water Caustics\n";
    ASSERT_EQ(out.compare(0, head.size(), head), 0);
    const size_t credits = out.find("\n\n\nMOUSE CONTROLS (Crystal Ball Interface):\n");
    ASSERT_NE(credits, std::string::npos);
    EXPECT_EQ(out.substr(head.size(), credits - head.size()).find('\n'), std::string::npos)
        << "the credits take exactly one line";

    const std::string rest = out.substr(credits + 3);
    EXPECT_EQ(rest,
              "MOUSE CONTROLS (Crystal Ball Interface):\n"
              "Hold down LEFT button - \n\trotate the camera around the scene by moving the mouse\n"
              "Hold down RIGHT button - \n\tzoom out by dragging the mouse toward you, \n\tzoom in by dragging the mouse away from you\n"
              "Click MIDDLE button - \n\tcreate a ripple when the mouse is over the water's surface\n\n\n"
              "KEYBOARD CODES:\n"
              "'e' - Toggle environment scenery\n"
              "'t' - Toggle bottom of pool floor when no scenery is enabled\n\n"
              "'b' - Toggle display of the box\n"
              "'n' - Toggle the type of box\n"
              "'m' - Drop the box or freeze the box\n"
              "'v' - Reset the box\n\n"
              "'s' - Create a splash\n"
              "'l' - Toggle light rain on or off\n"
              "'h' - Toggle hard rain on or off\n\n"
              "The seabed is initially at z = -16.000000\n"
              "'-' - Lower the seabed level\n"
              "'=' - Raise the seabed level\n\n"
              "The light source is initially at (0.0, 10.0, 0.0)\n"
              "'4' - Translate the light source in the -x direction\n"
              "'6' - Translate the light source in the +x direction\n"
              "'2' - Translate the light source in the -y direction\n"
              "'8' - Translate the light source in the +y direction\n"
              "'9' - Translate the light source in the -z direction\n"
              "'1' - Translate the light source in the +z direction\n\n"
              "'c' - Toggle display of caustics\n"
              "'f' - Toggle mesh representation display\n"
              "'w' - Toggle viewing level between water surface and seabed levels\n"
              "'p' - Pause the simulation\n"
              "'q' - Quit the program\n\n");
}

TEST(Startup, BannerShowsTheCurrentSeabedButAFixedLight)
{
    resetSceneState();
    seabedZ = -12.5f;
    lightX = 4.0f;
    testing::internal::CaptureStdout();
    printBanner();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("The seabed is initially at z = -12.500000\n"), std::string::npos);
    EXPECT_NE(out.find("The light source is initially at (0.0, 10.0, 0.0)\n"), std::string::npos);
    resetSceneState();
}

TEST(Startup, FirstFrameLooksFromTheStartEye)
{
    resetSceneState();
    ASSERT_EQ(buildWaterMeshData(), 1);
    placeEye();
    resetGlRecorder();
    drawFrame();
    const auto look = callsNamed("gluLookAt");
    ASSERT_EQ(look.size(), 1u);
    EXPECT_EQ(look[0].args, (std::vector<double>{30.640026f, 7.6405215f, 30.640026f, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(glCalls.front().name, "glClear");
    EXPECT_EQ(glCalls.back().name, "glutSwapBuffers");
}
