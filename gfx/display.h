#pragma once

#include <windows.h>

// The display mode the game takes over: also the size of its window.
#define SCREEN_WIDTH 1024
#define SCREEN_HEIGHT 768
// Colour depth of the display mode, printed in the status text.
#define BIT_MODE 32

// The one game window, set by WinMain before the game is built; the display
// takes it over and message boxes are owned by it.
extern HWND g_hWnd;
