// The toolkit's window, mouse and keyboard callbacks (GL layer).
#pragma once

// Viewport and perspective projection for a new window size.
void reshapeWindow(int width, int height);

// Button press or release at (x, y), y from the top of the window.
void handleMouseButton(int button, int state, int x, int y);

// Pointer motion while a button is held.
void handleMouseMotion(int x, int y);

// A key press; x and y are not used.
void handleKey(unsigned char key, int x, int y);
