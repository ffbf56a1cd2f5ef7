#include <cstdio>
#include <cstdlib>

#include "scenery/textures.h"
#include "water/mesh.h"

void buildWaterMesh()
{
    if (!buildWaterMeshData()) {
        std::printf("Cannot allocate memory for the %d water triangles\n", TRIANGLE_COUNT);
        std::exit(EXIT_FAILURE);
    }
    setupTexturesAndLight();
}
