// A fixed sequence of DirectDraw calls whose result codes and read-back
// pixels are written to a text file, one observation a line. Built for
// Windows (run under Wine against its DirectDraw) and for Linux (against our
// platform layer), so that the two files can be compared line by line.
//
// Usage: ddraw_probe <output file>
#include <ddraw.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const int SCREEN_W = 1024;
const int SCREEN_H = 768;
const DWORD KEY = 0x00FF00FF;

FILE* g_pOut = NULL;
IDirectDraw7* g_pDD = NULL;
IDirectDrawSurface7* g_pPrimary = NULL;
IDirectDrawSurface7* g_pBack = NULL;

LRESULT CALLBACK ProbeProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void Report(const char* szName, HRESULT hr) {
  std::fprintf(g_pOut, "%s hr=0x%08lX\n", szName, (unsigned long)(DWORD)hr);
}

// Source pattern: every pixel distinct enough to show which source pixel a
// stretch sampled.
DWORD Pattern(int x, int y) { return (DWORD)((x & 0xFF) | ((y & 0xFF) << 8) | (((x + 3 * y) & 0x3F) << 16)); }

IDirectDrawSurface7* CreatePlain(int nWidth, int nHeight, const char* szName) {
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ddsd.dwWidth = (DWORD)nWidth;
  ddsd.dwHeight = (DWORD)nHeight;
  IDirectDrawSurface7* pSurface = NULL;
  const HRESULT hr = g_pDD->CreateSurface(&ddsd, &pSurface, NULL);
  char szLine[128];
  std::snprintf(szLine, sizeof(szLine), "create.%s", szName);
  Report(szLine, hr);
  return hr == DD_OK ? pSurface : NULL;
}

// Fills a surface through Lock; fnPixel decides each pixel.
template <typename F>
void Fill(IDirectDrawSurface7* pSurface, F fnPixel, const char* szName) {
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  const HRESULT hr = pSurface->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL);
  char szLine[128];
  std::snprintf(szLine, sizeof(szLine), "lock.%s", szName);
  Report(szLine, hr);
  if (hr != DD_OK) return;
  std::fprintf(g_pOut, "lock.%s size=%lux%lu pitch_ok=%d bits=%lu\n", szName, (unsigned long)ddsd.dwWidth,
               (unsigned long)ddsd.dwHeight, ddsd.lPitch >= (LONG)(ddsd.dwWidth * 4) ? 1 : 0,
               (unsigned long)ddsd.ddpfPixelFormat.dwRGBBitCount);
  for (DWORD y = 0; y < ddsd.dwHeight; ++y) {
    DWORD* pRow = (DWORD*)((BYTE*)ddsd.lpSurface + (size_t)y * (size_t)ddsd.lPitch);
    for (DWORD x = 0; x < ddsd.dwWidth; ++x) pRow[x] = fnPixel((int)x, (int)y);
  }
  pSurface->Unlock(NULL);
}

// Writes a digest of the back buffer: a hash of every pixel (top byte masked,
// since some drivers set it) and the pixels of a window, one row a line, so
// that a difference can be located.
void Digest(const char* szName, const RECT& rcWindow) {
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  if (g_pBack->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL) != DD_OK) {
    std::fprintf(g_pOut, "digest.%s lock-failed\n", szName);
    return;
  }
  unsigned int uHash = 2166136261u;
  for (DWORD y = 0; y < ddsd.dwHeight; ++y) {
    const DWORD* pRow = (const DWORD*)((const BYTE*)ddsd.lpSurface + (size_t)y * (size_t)ddsd.lPitch);
    for (DWORD x = 0; x < ddsd.dwWidth; ++x) {
      uHash = (uHash ^ (pRow[x] & 0x00FFFFFF)) * 16777619u;
    }
  }
  std::fprintf(g_pOut, "digest.%s hash=%08X\n", szName, uHash);
  for (LONG y = rcWindow.top; y < rcWindow.bottom; ++y) {
    const DWORD* pRow = (const DWORD*)((const BYTE*)ddsd.lpSurface + (size_t)y * (size_t)ddsd.lPitch);
    std::fprintf(g_pOut, "pixels.%s y=%ld", szName, (long)y);
    for (LONG x = rcWindow.left; x < rcWindow.right; ++x)
      std::fprintf(g_pOut, " %06lX", (unsigned long)(pRow[x] & 0x00FFFFFF));
    std::fprintf(g_pOut, "\n");
  }
  g_pBack->Unlock(NULL);
}

void ClearBack(DWORD dwColor) {
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  if (g_pBack->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL) != DD_OK) return;
  for (DWORD y = 0; y < ddsd.dwHeight; ++y) {
    DWORD* pRow = (DWORD*)((BYTE*)ddsd.lpSurface + (size_t)y * (size_t)ddsd.lPitch);
    for (DWORD x = 0; x < ddsd.dwWidth; ++x) pRow[x] = dwColor;
  }
  g_pBack->Unlock(NULL);
}

void SetKey(IDirectDrawSurface7* pSurface, DWORD dwLow, DWORD dwHigh, const char* szName) {
  DDCOLORKEY ck;
  ck.dwColorSpaceLowValue = dwLow;
  ck.dwColorSpaceHighValue = dwHigh;
  char szLine[128];
  std::snprintf(szLine, sizeof(szLine), "colorkey.%s", szName);
  Report(szLine, pSurface->SetColorKey(DDCKEY_SRCBLT, &ck));
}

void BltAt(IDirectDrawSurface7* pSource, RECT rcDest, RECT* pSourceRect, DWORD dwFlags, const char* szName,
           const RECT& rcWindow) {
  ClearBack(0x00123456);
  char szLine[128];
  std::snprintf(szLine, sizeof(szLine), "blt.%s", szName);
  Report(szLine, g_pBack->Blt(&rcDest, pSource, pSourceRect, dwFlags, NULL));
  Digest(szName, rcWindow);
}

RECT Rect(LONG l, LONG t, LONG r, LONG b) {
  RECT rc;
  rc.left = l;
  rc.top = t;
  rc.right = r;
  rc.bottom = b;
  return rc;
}

void RunProbe() {
  const DWORD WAIT_KEYED = DDBLT_WAIT | DDBLT_KEYSRC;

  // Pictures of several sizes; the 100 x 50 one carries key and near-key colours.
  IDirectDrawSurface7* pTiny = CreatePlain(1, 1, "1x1");
  IDirectDrawSurface7* pSmall = CreatePlain(3, 2, "3x2");
  IDirectDrawSurface7* pOdd = CreatePlain(17, 5, "17x5");
  IDirectDrawSurface7* pSprite = CreatePlain(100, 50, "100x50");
  IDirectDrawSurface7* pBall = CreatePlain(300, 300, "300x300");
  IDirectDrawSurface7* pSmallBall = CreatePlain(37, 37, "37x37");
  if (!pTiny || !pSmall || !pOdd || !pSprite || !pBall || !pSmallBall) return;

  Fill(
      pTiny, [](int, int) { return (DWORD)0x00ABCDEF; }, "1x1");
  Fill(pSmall, Pattern, "3x2");
  Fill(pOdd, Pattern, "17x5");
  Fill(
      pSprite,
      [](int x, int y) -> DWORD {
        if (x < 10) return KEY;
        if (x < 20) return 0x00FF01FF;
        if (x < 30) return 0x00FE00FF;
        if (x < 40) return 0x00FF00FE;
        if (x < 50) return 0xFFFF00FF;  // key colour with the unused top byte set
        return Pattern(x, y);
      },
      "100x50");
  Fill(
      pBall,
      [](int x, int y) -> DWORD {
        const int dx = x - 150, dy = y - 150;
        return dx * dx + dy * dy < 150 * 150 ? Pattern(x, y) : KEY;
      },
      "300x300");
  Fill(
      pSmallBall,
      [](int x, int y) -> DWORD {
        const int dx = x - 18, dy = y - 18;
        return dx * dx + dy * dy < 18 * 18 ? Pattern(x, y) : KEY;
      },
      "37x37");

  SetKey(pSprite, KEY, KEY, "sprite");
  SetKey(pBall, KEY, KEY, "ball");
  SetKey(pSmallBall, KEY, KEY, "smallball");

  // Natural-size blits touching and crossing every edge.
  const RECT rcCorner = Rect(920, 714, 1024, 768);
  BltAt(pSprite, Rect(924, 718, 1024, 768), NULL, WAIT_KEYED, "sprite.corner", rcCorner);
  BltAt(pSprite, Rect(925, 718, 1025, 768), NULL, WAIT_KEYED, "sprite.past-right", rcCorner);
  BltAt(pSprite, Rect(924, 719, 1024, 769), NULL, WAIT_KEYED, "sprite.past-bottom", rcCorner);
  BltAt(pSprite, Rect(-1, 0, 99, 50), NULL, WAIT_KEYED, "sprite.past-left", Rect(0, 0, 4, 4));
  BltAt(pSprite, Rect(0, -500, 100, -450), NULL, WAIT_KEYED, "sprite.above", Rect(0, 0, 4, 4));
  BltAt(pSprite, Rect(0, 0, 100, 50), NULL, WAIT_KEYED, "sprite.origin", Rect(0, 0, 60, 2));
  BltAt(pSprite, Rect(0, 0, 100, 50), NULL, DDBLT_WAIT, "sprite.opaque", Rect(0, 0, 60, 2));
  BltAt(pSprite, Rect(10, 10, 10, 60), NULL, WAIT_KEYED, "sprite.empty", Rect(8, 8, 12, 12));
  BltAt(pSprite, Rect(50, 10, 40, 60), NULL, WAIT_KEYED, "sprite.inverted", Rect(38, 8, 52, 12));
  BltAt(pTiny, Rect(1023, 767, 1024, 768), NULL, DDBLT_WAIT, "tiny.last-pixel", Rect(1022, 766, 1024, 768));
  BltAt(pSmall, Rect(5, 5, 8, 7), NULL, DDBLT_WAIT, "small.copy", Rect(4, 4, 9, 8));
  BltAt(pOdd, Rect(0, 763, 17, 768), NULL, DDBLT_WAIT, "odd.bottom-left", Rect(0, 762, 18, 768));

  // Part of the source.
  RECT rcPart = Rect(40, 10, 70, 20);
  BltAt(pSprite, Rect(200, 200, 230, 210), &rcPart, WAIT_KEYED, "sprite.part", Rect(198, 200, 232, 202));

  // Colour-key ranges.
  SetKey(pSprite, 0x00FE00FF, 0x00FF01FF, "sprite.range");
  BltAt(pSprite, Rect(0, 0, 100, 50), NULL, WAIT_KEYED, "sprite.range", Rect(0, 0, 60, 2));
  SetKey(pSprite, KEY, KEY, "sprite.exact");

  // Stretches: the ball at the sizes the game uses, and a picture enlarged.
  BltAt(pBall, Rect(10, 20, 160, 170), NULL, WAIT_KEYED, "stretch.300-150", Rect(10, 94, 160, 96));
  BltAt(pBall, Rect(0, 0, 300, 300), NULL, WAIT_KEYED, "stretch.300-300", Rect(0, 149, 300, 150));
  BltAt(pBall, Rect(100, 100, 174, 174), NULL, WAIT_KEYED, "stretch.300-74", Rect(100, 136, 174, 138));
  BltAt(pBall, Rect(100, 100, 136, 136), NULL, WAIT_KEYED, "stretch.300-36", Rect(100, 117, 136, 119));
  BltAt(pSmallBall, Rect(100, 100, 175, 175), NULL, WAIT_KEYED, "stretch.37-75", Rect(100, 137, 175, 139));
  BltAt(pBall, Rect(-50, -50, 250, 250), NULL, WAIT_KEYED, "stretch.crossing", Rect(0, 0, 4, 4));

  // Flip: what was composed on the back buffer comes back after two flips.
  ClearBack(0x00224466);
  Report("flip.first", g_pPrimary->Flip(NULL, DDFLIP_WAIT));
  ClearBack(0x00664422);
  Report("flip.second", g_pPrimary->Flip(NULL, DDFLIP_WAIT));
  Digest("flip.back-after-two", Rect(0, 0, 2, 1));

  // Result codes of misuse the game could run into.
  Report("misuse.unlock-unlocked", pSprite->Unlock(NULL));
  DDSCAPS2 ddscaps;
  std::memset(&ddscaps, 0, sizeof(ddscaps));
  ddscaps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface7* pNone = NULL;
  Report("misuse.attached-of-plain", pSprite->GetAttachedSurface(&ddscaps, &pNone));
  if (pNone) pNone->Release();

  pTiny->Release();
  pSmall->Release();
  pOdd->Release();
  pSprite->Release();
  pBall->Release();
  pSmallBall->Release();
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nShowCmd) {
  g_pOut = std::fopen(lpCmdLine != NULL && lpCmdLine[0] != '\0' ? lpCmdLine : "ddraw_probe.txt", "w");
  if (g_pOut == NULL) return 2;

  WNDCLASSA wc;
  std::memset(&wc, 0, sizeof(wc));
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = hInstance;
  wc.lpszClassName = "ddraw_probe";
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowExA(0, "ddraw_probe", "ddraw_probe", WS_POPUP, 0, 0, SCREEN_W, SCREEN_H, NULL, NULL,
                              hInstance, NULL);
  ShowWindow(hWnd, nShowCmd);

  HRESULT hr = DirectDrawCreateEx(NULL, (LPVOID*)&g_pDD, IID_IDirectDraw7, NULL);
  Report("setup.create", hr);
  if (hr == DD_OK) hr = g_pDD->SetCooperativeLevel(hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  Report("setup.cooperative", hr);
  if (hr == DD_OK) hr = g_pDD->SetDisplayMode(SCREEN_W, SCREEN_H, 32, 0, 0);
  Report("setup.mode", hr);
  if (hr == DD_OK) {
    DDSURFACEDESC2 ddsd;
    std::memset(&ddsd, 0, sizeof(ddsd));
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    ddsd.dwBackBufferCount = 1;
    hr = g_pDD->CreateSurface(&ddsd, &g_pPrimary, NULL);
  }
  Report("setup.primary", hr);
  if (hr == DD_OK) {
    DDSCAPS2 ddscaps;
    std::memset(&ddscaps, 0, sizeof(ddscaps));
    ddscaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = g_pPrimary->GetAttachedSurface(&ddscaps, &g_pBack);
  }
  Report("setup.backbuffer", hr);
  if (hr == DD_OK) RunProbe();

  if (g_pBack) g_pBack->Release();
  if (g_pPrimary) g_pPrimary->Release();
  if (g_pDD) g_pDD->Release();
  std::fprintf(g_pOut, "end\n");
  std::fclose(g_pOut);
  return 0;
}
