// The DirectDraw calls the game makes, in a fixed sequence whose result
// codes and read-back pixels are written to a text file, one observation a
// line: the game's set-up of the screen, a picture's surface created,
// locked, filled and keyed as the loader does it, colour-keyed blits at
// natural size touching and crossing each edge of the screen (a bullet
// leaving at the top), the ball stretched to each of its sizes, and a flip.
// Built for Windows (run under Wine against its DirectDraw) and for Linux
// (against our platform layer), so that the two files can be compared.
//
// Usage: ddraw_probe <output file>
#include <ddraw.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const DWORD KEY = 0x00FF00FF;

FILE* g_pOut = NULL;
IDirectDraw7* g_pDD = NULL;
IDirectDrawSurface7* g_pPrimary = NULL;
IDirectDrawSurface7* g_pBack = NULL;

HRESULT Report(const char* szWhat, const char* szName, HRESULT hr) {
  std::fprintf(g_pOut, "%s.%s hr=0x%08lX\n", szWhat, szName, (unsigned long)(DWORD)hr);
  return hr;
}

// A zeroed surface description with its size, flags and caps set.
DDSURFACEDESC2 Desc(DWORD dwFlags, DWORD dwCaps) {
  DDSURFACEDESC2 ddsd;
  std::memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = dwFlags;
  ddsd.ddsCaps.dwCaps = dwCaps;
  return ddsd;
}

DWORD* Row(const DDSURFACEDESC2& ddsd, LONG y) { return (DWORD*)((BYTE*)ddsd.lpSurface + y * ddsd.lPitch); }

// The picture: a pattern in a disc, every pixel distinct enough to show
// which one a stretch sampled; around it the key, and in the top rows the
// colours one step from the key in each channel.
DWORD Pixel(int x, int y) {
  const DWORD dwNearKey[] = {0x00FF01FF, 0x00FE00FF, 0x00FF00FE};
  if ((x - 150) * (x - 150) + (y - 150) * (y - 150) < 150 * 150)
    return (DWORD)((x & 0xFF) | ((y & 0xFF) << 8) | (((x + 3 * y) & 0x3F) << 16));
  return y < 30 ? dwNearKey[y / 10] : KEY;
}

// Fills a whole surface through a lock (its description read as the loader
// reads it: a wrong pitch or depth shows in every blit's hash).
HRESULT Paint(IDirectDrawSurface7* pSurface, DWORD (*fnPixel)(int, int)) {
  DDSURFACEDESC2 ddsd = Desc(0, 0);
  const HRESULT hr = pSurface->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL);
  if (hr != DD_OK) return hr;
  for (LONG y = 0; y < (LONG)ddsd.dwHeight; ++y) {
    for (DWORD x = 0; x < ddsd.dwWidth; ++x) Row(ddsd, y)[x] = fnPixel((int)x, (int)y);
  }
  return pSurface->Unlock(NULL);
}

struct Blit {
  const char* szName;
  RECT rcDest;
};

const Blit BLITS[] = {
    {"corner", {724, 468, 1024, 768}},      {"past-right", {725, 468, 1025, 768}},
    {"past-bottom", {724, 469, 1024, 769}}, {"past-left", {-1, 0, 299, 300}},
    {"past-top", {0, -1, 300, 299}},        {"above", {0, -500, 300, -200}},
    {"origin", {0, 0, 300, 300}},           {"stretch-150", {10, 20, 160, 170}},
    {"stretch-74", {100, 100, 174, 174}},   {"stretch-36", {100, 100, 136, 136}},
};

// A keyed blit onto the back buffer, cleared first, and a hash of what came
// out (top byte masked, since some drivers set it).
void Probe(const Blit& blit, IDirectDrawSurface7* pPicture) {
  Report("clear", blit.szName, Paint(g_pBack, [](int, int) -> DWORD { return 0x00123456; }));
  RECT rcDest = blit.rcDest;
  Report("blt", blit.szName, g_pBack->Blt(&rcDest, pPicture, NULL, DDBLT_WAIT | DDBLT_KEYSRC, NULL));
  DDSURFACEDESC2 ddsd = Desc(0, 0);
  if (Report("read", blit.szName, g_pBack->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL)) != DD_OK) return;
  unsigned int uHash = 2166136261u;
  for (LONG y = 0; y < (LONG)ddsd.dwHeight; ++y) {
    for (DWORD x = 0; x < ddsd.dwWidth; ++x) uHash = (uHash ^ (Row(ddsd, y)[x] & 0x00FFFFFF)) * 16777619u;
  }
  std::fprintf(g_pOut, "digest.%s hash=%08X\n", blit.szName, uHash);
  g_pBack->Unlock(NULL);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nShowCmd) {
  g_pOut = std::fopen(lpCmdLine != NULL && lpCmdLine[0] != '\0' ? lpCmdLine : "ddraw_probe.txt", "w");
  if (g_pOut == NULL) return 2;

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = hInstance;
  wc.lpszClassName = "ddraw_probe";
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowExA(0, "ddraw_probe", "ddraw_probe", WS_POPUP, 0, 0, 1024, 768, NULL, NULL,
                              hInstance, NULL);
  ShowWindow(hWnd, nShowCmd);

  HRESULT hr = Report("setup", "create", DirectDrawCreateEx(NULL, (LPVOID*)&g_pDD, IID_IDirectDraw7, NULL));
  if (hr == DD_OK)
    hr = Report("setup", "cooperative", g_pDD->SetCooperativeLevel(hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
  if (hr == DD_OK) hr = Report("setup", "mode", g_pDD->SetDisplayMode(1024, 768, 32, 0, 0));
  if (hr == DD_OK) {
    DDSURFACEDESC2 ddsd = Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                               DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
    ddsd.dwBackBufferCount = 1;
    hr = Report("setup", "primary", g_pDD->CreateSurface(&ddsd, &g_pPrimary, NULL));
  }
  if (hr == DD_OK) {
    DDSCAPS2 ddscaps = {};
    ddscaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = Report("setup", "backbuffer", g_pPrimary->GetAttachedSurface(&ddscaps, &g_pBack));
  }
  if (hr == DD_OK) {
    // A picture of the ball's size, created, filled and keyed as the loader does it.
    DDSURFACEDESC2 ddsd =
        Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    ddsd.dwWidth = 300;
    ddsd.dwHeight = 300;
    IDirectDrawSurface7* pPicture = NULL;
    hr = Report("setup", "picture", g_pDD->CreateSurface(&ddsd, &pPicture, NULL));
    if (hr == DD_OK) hr = Report("setup", "fill", Paint(pPicture, Pixel));
    DDCOLORKEY ck = {KEY, KEY};
    if (hr == DD_OK) hr = Report("setup", "colorkey", pPicture->SetColorKey(DDCKEY_SRCBLT, &ck));
    if (hr != DD_OK) return 1;
    for (const Blit& blit : BLITS) Probe(blit, pPicture);
    Report("flip", "primary", g_pPrimary->Flip(NULL, DDFLIP_WAIT));
  }
  std::fprintf(g_pOut, "end\n");
  std::fclose(g_pOut);
  return 0;
}
