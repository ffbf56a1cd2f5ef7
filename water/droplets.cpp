#include "water/droplets.h"

#include <cstring>

Droplet droplets[MAX_DROPLETS];  // all inactive at start

void resetDroplets()
{
    std::memset(droplets, 0, sizeof droplets);
}
