// The simulation step run whenever the toolkit is idle: rain, the falling box
// and its splash, then one wave step.
#pragma once

// One idle step of the simulation.
void simulationStep();

// The splash of the splash key: droplets and a stamp at the centre.
void keySplash();
