// The start-up banner and list of controls on standard output.
#pragma once

// Prints the banner and the controls, one formatted print per line.
void printBanner();
