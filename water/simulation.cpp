#include "water/simulation.h"

void simulationStep()
{
}
