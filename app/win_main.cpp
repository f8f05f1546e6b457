#include "app/win_main.h"

#include "game/main_game.h"

#define VK_START 'S'

char g_szClassName[128] = "Drel_HOPS";
char g_szTitle[128] = "Drel_HOPS";

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int nCmdShow) {
  WNDCLASSA WndClass;
  MSG Message;

  WndClass.style = CS_HREDRAW | CS_VREDRAW;
  WndClass.lpfnWndProc = WndProc;
  WndClass.cbClsExtra = 0;
  WndClass.cbWndExtra = 0;
  WndClass.hInstance = hInstance;
  WndClass.hIcon = LoadIconA(NULL, IDI_APPLICATION);
  WndClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  WndClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  WndClass.lpszMenuName = NULL;
  WndClass.lpszClassName = g_szClassName;
  RegisterClassA(&WndClass);

  g_hWnd = CreateWindowExA(0, g_szClassName, g_szTitle, WS_POPUP | WS_BORDER | WS_SYSMENU, 0, 0, SCREEN_WIDTH,
                           SCREEN_HEIGHT, NULL, NULL, hInstance, NULL);

  // The display is taken over while the window is still hidden; it is shown
  // only once the whole game has been built.
  if (!g_MainGame.Init()) return 0;
  ShowWindow(g_hWnd, nCmdShow);

  // Messages come first; every moment the queue is empty goes to the game,
  // whose frame timer decides whether a frame is due. The loop never waits.
  for (;;) {
    if (PeekMessageA(&Message, NULL, 0, 0, PM_REMOVE)) {
      if (Message.message == WM_QUIT) break;
      TranslateMessage(&Message);
      DispatchMessageA(&Message);
    } else {
      g_MainGame.Frame();
    }
  }
  return (int)Message.wParam;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT iMessage, WPARAM wParam, LPARAM lParam) {
  PAINTSTRUCT ps;

  switch (iMessage) {
    case WM_KEYDOWN:
      // Esc only asks for the destroy message; its handling below ends the
      // loop, and the window goes away with the process.
      if (wParam == VK_ESCAPE) {
        PostMessageA(hWnd, WM_DESTROY, 0, 0);
      } else if (wParam == VK_START) {
        g_nGameState = STATE_PLAY;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT:
      // Every frame is flipped onto the screen; painting only validates.
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      break;
  }
  return DefWindowProcA(hWnd, iMessage, wParam, lParam);
}
