#include "app/banner.h"

#include <cstdio>

#include "core/state.h"

void printBanner()
{
    std::printf("\nQUARRY7 FINAL PROJECT: Under-water Caustics\n");
    std::printf("Written by the Under-water Caustics team\n\n\n");
    std::printf("MOUSE CONTROLS (Crystal Ball Interface):\n");
    std::printf("Hold down LEFT button - \n\trotate the camera around the scene by moving the mouse\n");
    std::printf("Hold down RIGHT button - \n\tzoom out by dragging the mouse toward you, \n\tzoom in by dragging the mouse away from you\n");
    std::printf("Click MIDDLE button - \n\tcreate a ripple when the mouse is over the water's surface\n\n\n");
    std::printf("KEYBOARD CODES:\n");
    std::printf("'e' - Toggle environment scenery\n");
    std::printf("'t' - Toggle bottom of pool floor when no scenery is enabled\n\n");
    std::printf("'b' - Toggle display of the box\n");
    std::printf("'n' - Toggle the type of box\n");
    std::printf("'m' - Drop the box or freeze the box\n");
    std::printf("'v' - Reset the box\n\n");
    std::printf("'s' - Create a splash\n");
    std::printf("'l' - Toggle light rain on or off\n");
    std::printf("'h' - Toggle hard rain on or off\n\n");
    std::printf("The seabed is initially at z = %f\n", static_cast<double>(seabedZ));
    std::printf("'-' - Lower the seabed level\n");
    std::printf("'=' - Raise the seabed level\n\n");
    std::printf("The light source is initially at (0.0, 10.0, 0.0)\n");
    std::printf("'4' - Translate the light source in the -x direction\n");
    std::printf("'6' - Translate the light source in the +x direction\n");
    std::printf("'2' - Translate the light source in the -y direction\n");
    std::printf("'8' - Translate the light source in the +y direction\n");
    std::printf("'9' - Translate the light source in the -z direction\n");
    std::printf("'1' - Translate the light source in the +z direction\n\n");
    std::printf("'c' - Toggle display of caustics\n");
    std::printf("'f' - Toggle mesh representation display\n");
    std::printf("'w' - Toggle viewing level between water surface and seabed levels\n");
    std::printf("'p' - Pause the simulation\n");
    std::printf("'q' - Quit the program\n\n");
}
