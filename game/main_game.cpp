#include "game/main_game.h"

HWND g_hWnd = NULL;
int g_nGameState = STATE_LOADING;
