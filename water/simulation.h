// The simulation step run whenever the toolkit is idle: rain, the falling box
// and its splash, then one wave step with its frame.
#pragma once

constexpr int RAIN_BLOCKS = 4;  // rain blocks; each has four spots

// One idle step of the simulation: the idle callback.
void simulationStep();

// The splash of the splash key: 66 droplets and a stamp at the centre.
void keySplash();
