#pragma once

#include <windows.h>

#define STATE_LOADING 0
#define STATE_PLAY 1
#define STATE_ENDING 2

// The one game window, set by WinMain before the game is built.
extern HWND g_hWnd;
// The game state: STATE_LOADING, STATE_PLAY or STATE_ENDING.
extern int g_nGameState;
