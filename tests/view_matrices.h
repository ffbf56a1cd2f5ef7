// Test helpers: the perspective and look-at matrices the frame sets up through
// GLU, built in column-major order, so the pick can be tested with the
// matrices the real program would read back.
#pragma once

#include <cmath>

// The matrix of gluPerspective(fovyDegrees, aspect, zNear, zFar).
inline void perspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar, double m[16])
{
    const double f = 1.0 / std::tan(fovyDegrees * 3.14159265358979323846 / 360.0);
    for (int k = 0; k < 16; ++k)
        m[k] = 0.0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
}

// The matrix of gluLookAt(eye, origin, up (0, 1, 0)) on an identity model-view.
inline void lookAtOriginMatrix(double ex, double ey, double ez, double m[16])
{
    double f[3] = {-ex, -ey, -ez};
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double &c : f)
        c /= fl;
    // s = f x up, with up = (0, 1, 0); u = s x f.
    double s[3] = {-f[2], 0.0, f[0]};
    const double sl = std::sqrt(s[0] * s[0] + s[2] * s[2]);
    for (double &c : s)
        c /= sl;
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    const double rows[3][3] = {{s[0], s[1], s[2]}, {u[0], u[1], u[2]}, {-f[0], -f[1], -f[2]}};
    for (int k = 0; k < 16; ++k)
        m[k] = 0.0;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            m[c * 4 + r] = rows[r][c];
        m[12 + r] = -(rows[r][0] * ex + rows[r][1] * ey + rows[r][2] * ez);
    }
    m[15] = 1.0;
}

// The pick's projection of one point (app/camera.cpp), as GLU's would be.
int projectToWindow(const double object[3], const double modelview[16], const double projection[16],
                    const int viewport[4], double window[3]);
