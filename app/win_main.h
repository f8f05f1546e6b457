#pragma once

#include <windows.h>

// Name of the game's window class and title of its window, both "Drel_HOPS".
extern char g_szClassName[128];
extern char g_szTitle[128];

// The game window's procedure: Esc ends the program, S starts or resumes
// play; everything else goes on to DefWindowProcA.
LRESULT CALLBACK WndProc(HWND hWnd, UINT iMessage, WPARAM wParam, LPARAM lParam);
