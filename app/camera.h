// The orbiting camera: the eye lies on a sphere of radius camRadius around the
// world origin, at azimuth camPhi and polar angle camTheta (scene state).
#pragma once

// Recomputes eyeX, eyeY, eyeZ from camPhi, camTheta and camRadius.
void placeEye();
