#include "tests/scene_reset.h"

#include "core/random.h"
#include "water/droplets.h"
#include "water/mesh.h"

void setInitialSceneValues();  // core/state.cpp: the scene values a process starts with

void resetSceneState()
{
    setInitialSceneValues();
    resetWaterGrids();
    for (Droplet &d : droplets)
        d = Droplet{};
    randomState = RANDOM_START;
}
