// A small Windows program, not the game, that shows the platform layer at
// work in a real window: a DirectDraw full-screen display with four coloured
// quadrants, flipped about 60 times a second, that answer the keyboard.
//
//   top left      red; orange while Left and Right are both held
//   top right     green
//   bottom left   blue
//   bottom right  white; yellow while Space is held; cyan once Space has
//                 been pressed an odd number of times (its toggle bit)
//
// Every WM_KEYDOWN and WM_KEYUP is printed to standard output with what
// GetKeyState says about the key, and every change of picture with the
// colours flipped. Esc quits with exit code 0.
//
// Usage: hops_platform_demo [words...]   (the words are echoed back, to show
// the command line WinMain received)
#include <windows.h>
#include <ddraw.h>

#include <cstdio>
#include <cstring>

namespace {

const int SCREEN_W = 1024;
const int SCREEN_H = 768;
const char* const CLASS_NAME = "hops_platform_demo";
const char* const TITLE = "HOPS platform demo";

const DWORD COLOR_RED = 0x00FF0000;
const DWORD COLOR_ORANGE = 0x00FF8000;
const DWORD COLOR_GREEN = 0x0000FF00;
const DWORD COLOR_BLUE = 0x000000FF;
const DWORD COLOR_WHITE = 0x00FFFFFF;
const DWORD COLOR_YELLOW = 0x00FFFF00;
const DWORD COLOR_CYAN = 0x0000FFFF;

IDirectDraw7* g_pDD = NULL;
IDirectDrawSurface7* g_pPrimary = NULL;
IDirectDrawSurface7* g_pBack = NULL;

struct Picture {
  DWORD dwTopLeft;
  DWORD dwTopRight;
  DWORD dwBottomLeft;
  DWORD dwBottomRight;
};

bool IsDown(int nVirtKey) { return (GetKeyState(nVirtKey) & 0x8000) != 0; }

Picture CurrentPicture() {
  Picture picture;
  picture.dwTopLeft = IsDown(VK_LEFT) && IsDown(VK_RIGHT) ? COLOR_ORANGE : COLOR_RED;
  picture.dwTopRight = COLOR_GREEN;
  picture.dwBottomLeft = COLOR_BLUE;
  if (IsDown(VK_SPACE)) {
    picture.dwBottomRight = COLOR_YELLOW;
  } else if ((GetKeyState(VK_SPACE) & 1) != 0) {
    picture.dwBottomRight = COLOR_CYAN;
  } else {
    picture.dwBottomRight = COLOR_WHITE;
  }
  return picture;
}

bool SamePicture(const Picture& a, const Picture& b) { return std::memcmp(&a, &b, sizeof(Picture)) == 0; }

void FillRow(BYTE* pRow, int nFrom, int nTo, DWORD dwColor) {
  DWORD* pPixel = (DWORD*)pRow;
  for (int x = nFrom; x < nTo; ++x) pPixel[x] = dwColor;
}

// Paints the picture on the back buffer and flips it to the screen.
bool Show(const Picture& picture) {
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  if (g_pBack->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL) != DD_OK) return false;
  BYTE* pBits = (BYTE*)ddsd.lpSurface;
  for (int y = 0; y < SCREEN_H; ++y) {
    BYTE* pRow = pBits + (LONG_PTR)y * ddsd.lPitch;
    const bool bTop = y < SCREEN_H / 2;
    FillRow(pRow, 0, SCREEN_W / 2, bTop ? picture.dwTopLeft : picture.dwBottomLeft);
    FillRow(pRow, SCREEN_W / 2, SCREEN_W, bTop ? picture.dwTopRight : picture.dwBottomRight);
  }
  g_pBack->Unlock(NULL);
  return g_pPrimary->Flip(NULL, DDFLIP_WAIT) == DD_OK;
}

void PrintKey(const char* szName, WPARAM wParam, LPARAM lParam) {
  const int nKey = (int)wParam;
  std::printf("%s vk=0x%02X repeat=%d state=0x%04X\n", szName, nKey, (int)((lParam >> 30) & 1),
              (unsigned)(unsigned short)GetKeyState(nKey));
  std::fflush(stdout);
}

LRESULT CALLBACK DemoProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_KEYDOWN:
      PrintKey("WM_KEYDOWN", wParam, lParam);
      if (wParam == VK_ESCAPE) PostMessageA(hWnd, WM_DESTROY, 0, 0);
      break;
    case WM_KEYUP:
      PrintKey("WM_KEYUP", wParam, lParam);
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

bool InitDisplay(HWND hWnd) {
  if (DirectDrawCreateEx(NULL, (LPVOID*)&g_pDD, IID_IDirectDraw7, NULL) != DD_OK) return false;
  if (g_pDD->SetCooperativeLevel(hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) return false;
  if (g_pDD->SetDisplayMode(SCREEN_W, SCREEN_H, 32, 0, 0) != DD_OK) return false;
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  ddsd.dwBackBufferCount = 1;
  if (g_pDD->CreateSurface(&ddsd, &g_pPrimary, NULL) != DD_OK) return false;
  DDSCAPS2 ddscaps;
  std::memset(&ddscaps, 0, sizeof(ddscaps));
  ddscaps.dwCaps = DDSCAPS_BACKBUFFER;
  return g_pPrimary->GetAttachedSurface(&ddscaps, &g_pBack) == DD_OK;
}

void ReleaseDisplay() {
  if (g_pBack) g_pBack->Release();
  if (g_pPrimary) g_pPrimary->Release();
  if (g_pDD) g_pDD->Release();
  g_pBack = NULL;
  g_pPrimary = NULL;
  g_pDD = NULL;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nShowCmd) {
  std::printf("command line: [%s]\n", lpCmdLine);
  std::fflush(stdout);

  WNDCLASSA wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = hInstance;
  wc.hIcon = LoadIconA(NULL, IDI_APPLICATION);
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszClassName = CLASS_NAME;
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowExA(0, CLASS_NAME, TITLE, WS_POPUP, 0, 0, SCREEN_W, SCREEN_H, NULL, NULL, hInstance, NULL);
  if (hWnd == NULL || !InitDisplay(hWnd)) {
    std::fprintf(stderr, "hops_platform_demo: the display could not be set up\n");
    ReleaseDisplay();
    return 1;
  }
  ShowWindow(hWnd, nShowCmd);

  LARGE_INTEGER liFrequency;
  LARGE_INTEGER liNext;
  LARGE_INTEGER liNow;
  QueryPerformanceFrequency(&liFrequency);
  QueryPerformanceCounter(&liNext);
  const LONGLONG llFrameTicks = liFrequency.QuadPart / 60;

  Picture shown;
  std::memset(&shown, 0, sizeof(shown));
  int nFlips = 0;
  int nExitCode = 2;
  MSG Message;
  for (;;) {
    if (PeekMessageA(&Message, NULL, 0, 0, PM_REMOVE)) {
      if (Message.message == WM_QUIT) {
        nExitCode = (int)Message.wParam;
        break;
      }
      TranslateMessage(&Message);
      DispatchMessageA(&Message);
      continue;
    }
    QueryPerformanceCounter(&liNow);
    if (liNow.QuadPart < liNext.QuadPart) continue;
    liNext.QuadPart = liNow.QuadPart + llFrameTicks;

    const Picture picture = CurrentPicture();
    if (!Show(picture)) {
      std::fprintf(stderr, "hops_platform_demo: Lock or Flip failed\n");
      break;
    }
    ++nFlips;
    if (nFlips == 1 || !SamePicture(picture, shown)) {
      std::printf("flip %d: 0x%06lX 0x%06lX 0x%06lX 0x%06lX\n", nFlips, (unsigned long)picture.dwTopLeft,
                  (unsigned long)picture.dwTopRight, (unsigned long)picture.dwBottomLeft,
                  (unsigned long)picture.dwBottomRight);
      std::fflush(stdout);
      shown = picture;
    }
  }

  ReleaseDisplay();
  std::printf("exit %d\n", nExitCode);
  std::fflush(stdout);
  return nExitCode;
}
