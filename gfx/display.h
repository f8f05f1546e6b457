#pragma once

// The display mode the game takes over: also the size of its window.
#define SCREEN_WIDTH 1024
#define SCREEN_HEIGHT 768
// Colour depth of the display mode, printed in the status text.
#define BIT_MODE 32
