// The start-up banner and list of controls on standard output. The manual
// page's list of controls is written from the same text when the program is
// built (tools/make_manpage.cpp), so the two cannot drift apart.
#pragma once

#include <string>

// The controls as the banner shows them, from "MOUSE CONTROLS" to the end,
// with the given seabed level in its line.
std::string bannerControls(float seabed);

// Prints the title, the credits and the controls with the current seabed level.
void printBanner();
