#include "app/banner.h"

#include <cstdio>

#include "core/state.h"

namespace {

// The controls, line by line as the console shows them. A line that shows the
// seabed level has it printed right after its text, as %f prints it.
struct ControlsLine {
    const char *text;
    bool seabedFollows;
};

const ControlsLine CONTROLS[] = {
    {"MOUSE CONTROLS (Crystal Ball Interface):\n", false},
    {"Hold down LEFT button - \n\trotate the camera around the scene by moving the mouse\n", false},
    {"Hold down RIGHT button - \n\tzoom out by dragging the mouse toward you, \n\tzoom in by dragging the mouse away from you\n", false},
    {"Click MIDDLE button - \n\tcreate a ripple when the mouse is over the water's surface\n\n\n", false},
    {"KEYBOARD CODES:\n", false},
    {"'e' - Toggle environment scenery\n", false},
    {"'t' - Toggle bottom of pool floor when no scenery is enabled\n\n", false},
    {"'b' - Toggle display of the box\n", false},
    {"'n' - Toggle the type of box\n", false},
    {"'m' - Drop the box or freeze the box\n", false},
    {"'v' - Reset the box\n\n", false},
    {"'s' - Create a splash\n", false},
    {"'l' - Toggle light rain on or off\n", false},
    {"'h' - Toggle hard rain on or off\n\n", false},
    {"The seabed is initially at z = ", true},
    {"'-' - Lower the seabed level\n", false},
    {"'=' - Raise the seabed level\n\n", false},
    {"The light source is initially at (0.0, 10.0, 0.0)\n", false},
    {"'4' - Translate the light source in the -x direction\n", false},
    {"'6' - Translate the light source in the +x direction\n", false},
    {"'2' - Translate the light source in the -y direction\n", false},
    {"'8' - Translate the light source in the +y direction\n", false},
    {"'9' - Translate the light source in the -z direction\n", false},
    {"'1' - Translate the light source in the +z direction\n\n", false},
    {"'c' - Toggle display of caustics\n", false},
    {"'f' - Toggle mesh representation display\n", false},
    {"'w' - Toggle viewing level between water surface and seabed levels\n", false},
    {"'p' - Pause the simulation\n", false},
    {"'q' - Quit the program\n\n", false},
};

}  // namespace

std::string bannerControls(float seabed)
{
    std::string text;
    for (const ControlsLine &line : CONTROLS) {
        text += line.text;
        if (line.seabedFollows) {
            char value[64];
            std::snprintf(value, sizeof value, "%f\n", static_cast<double>(seabed));
            text += value;
        }
    }
    return text;
}

void printBanner()
{
    std::printf("\nQUARRY7 FINAL PROJECT: Under-water Caustics\n");
    std::printf("Written by the Under-water Caustics team\n\n\n");
    std::fputs(bannerControls(seabedZ).c_str(), stdout);
}
