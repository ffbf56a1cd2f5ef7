// The keyboard commands: what one key press does to the scene state and what
// it says on the console, apart from the window layer's own part (ending the
// process or asking for a redraw).
#pragma once

// What the window layer must do once a key's command has run.
enum KeyOutcome {
    KEY_REDISPLAY = -1,    // draw the changed scene
    KEY_EXIT_QUIT = 0,     // end the process with status 0 (q, Q)
    KEY_EXIT_ESCAPE = 1,   // end the process with status 1 (Esc)
};

constexpr unsigned char KEY_ESCAPE = 27;  // character code of the Esc key

// Runs the command of key (two discarded random draws first, for every key)
// and returns what the window layer does next.
KeyOutcome applyKey(unsigned char key);
