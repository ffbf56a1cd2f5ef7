#include "app/camera.h"

#include <cmath>

#include "app/state.h"

void placeEye()
{
    const double sinTheta = std::sin(static_cast<double>(camTheta));
    eyeX = static_cast<float>(camRadius * std::sin(static_cast<double>(camPhi)) * sinTheta);
    eyeY = static_cast<float>(camRadius * std::cos(static_cast<double>(camTheta)));
    eyeZ = static_cast<float>(camRadius * std::cos(static_cast<double>(camPhi)) * sinTheta);
}
