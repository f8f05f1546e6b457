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
#include <cstdlib>
#include <utility>

namespace {

const DWORD KEY = 0x00FF00FF;

FILE* g_pOut = NULL;
// Kept to the end, as the game keeps its own.
IDirectDraw7* g_pDD = NULL;
IDirectDrawSurface7 *g_pPrimary = NULL, *g_pBack = NULL, *g_pPicture = NULL;

HRESULT Report(const char* szWhat, const char* szName, HRESULT hr) {
  std::fprintf(g_pOut, "%s.%s hr=0x%08lX\n", szWhat, szName, (unsigned long)(DWORD)hr);
  return hr;
}

// A zeroed surface description with its size, flags and caps set.
DDSURFACEDESC2 Desc(DWORD dwFlags, DWORD dwCaps) {
  DDSURFACEDESC2 ddsd = {};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = dwFlags;
  ddsd.ddsCaps.dwCaps = dwCaps;
  return ddsd;
}

// Hands every pixel of a whole surface, locked, to fnVisit (its description
// read as the loader reads it: a wrong pitch or depth shows in every blit's
// hash).
template <typename Visit>
HRESULT Each(IDirectDrawSurface7* pSurface, Visit fnVisit) {
  DDSURFACEDESC2 ddsd = Desc(0, 0);
  const HRESULT hr = pSurface->Lock(NULL, &ddsd, DDLOCK_WAIT, NULL);
  if (hr != DD_OK) return hr;
  for (LONG y = 0; y < (LONG)ddsd.dwHeight; ++y) {
    DWORD* pRow = (DWORD*)((BYTE*)ddsd.lpSurface + y * ddsd.lPitch);
    for (DWORD x = 0; x < ddsd.dwWidth; ++x) fnVisit((int)x, (int)y, pRow[x]);
  }
  return pSurface->Unlock(NULL);
}

// The picture: a pattern in a disc, every pixel distinct enough to show
// which one a stretch sampled, and the key around it.
void Picture(int x, int y, DWORD& dwPixel) {
  const bool bDisc = (x - 150) * (x - 150) + (y - 150) * (y - 150) < 150 * 150;
  dwPixel = bDisc ? (DWORD)((x & 0xFF) | ((y & 0xFF) << 8) | (((x + 3 * y) & 0x3F) << 16)) : KEY;
}

// A set-up step: its result is written, and the probe fails at the first
// that fails.
void Setup(const char* szName, HRESULT hr) {
  if (Report("setup", szName, hr) != DD_OK) std::exit(1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nShowCmd) {
  g_pOut = std::fopen(lpCmdLine != NULL && lpCmdLine[0] != '\0' ? lpCmdLine : "ddraw_probe.txt", "w");
  if (g_pOut == NULL) return 2;

  const WNDCLASSA wc = {0, DefWindowProcA, 0, 0, hInstance, NULL, NULL, NULL, NULL, "ddraw_probe"};
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowExA(0, "ddraw_probe", "ddraw_probe", WS_POPUP, 0, 0, 1024, 768, NULL, NULL,
                              hInstance, NULL);
  ShowWindow(hWnd, nShowCmd);

  Setup("create", DirectDrawCreateEx(NULL, (LPVOID*)&g_pDD, IID_IDirectDraw7, NULL));
  Setup("cooperative", g_pDD->SetCooperativeLevel(hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
  Setup("mode", g_pDD->SetDisplayMode(1024, 768, 32, 0, 0));
  DDSURFACEDESC2 ddsd = Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                             DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
  ddsd.dwBackBufferCount = 1;
  Setup("primary", g_pDD->CreateSurface(&ddsd, &g_pPrimary, NULL));
  DDSCAPS2 ddscaps = {DDSCAPS_BACKBUFFER, 0, 0, {0}};
  Setup("backbuffer", g_pPrimary->GetAttachedSurface(&ddscaps, &g_pBack));
  // A picture of the ball's size, created, filled and keyed as the loader does it.
  ddsd = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
  ddsd.dwWidth = ddsd.dwHeight = 300;
  Setup("picture", g_pDD->CreateSurface(&ddsd, &g_pPicture, NULL));
  Setup("fill", Each(g_pPicture, Picture));
  DDCOLORKEY ck = {KEY, KEY};
  Setup("colorkey", g_pPicture->SetColorKey(DDCKEY_SRCBLT, &ck));
  const std::pair<const char*, RECT> BLITS[] = {
      {"corner", {724, 468, 1024, 768}},      {"past-right", {725, 468, 1025, 768}},
      {"past-bottom", {724, 469, 1024, 769}}, {"past-left", {-1, 0, 299, 300}},
      {"past-top", {0, -1, 300, 299}},        {"above", {0, -500, 300, -200}},
      {"origin", {0, 0, 300, 300}},           {"stretch-150", {10, 20, 160, 170}},
      {"stretch-74", {100, 100, 174, 174}},   {"stretch-36", {100, 100, 136, 136}}};
  // Each a keyed blit onto the back buffer, cleared first, and a hash of
  // what came out (top byte masked, since some drivers set it).
  for (auto [szName, rcDest] : BLITS) {
    Report("clear", szName, Each(g_pBack, [](int, int, DWORD& dwPixel) { dwPixel = 0x00123456; }));
    Report("blt", szName, g_pBack->Blt(&rcDest, g_pPicture, NULL, DDBLT_WAIT | DDBLT_KEYSRC, NULL));
    unsigned int uHash = 2166136261u;
    Report("read", szName, Each(g_pBack, [&uHash](int, int, DWORD& dwPixel) {
             uHash = (uHash ^ (dwPixel & 0x00FFFFFF)) * 16777619u;
           }));
    std::fprintf(g_pOut, "digest.%s hash=%08X\n", szName, uHash);
  }
  Report("flip", "primary", g_pPrimary->Flip(NULL, DDFLIP_WAIT));
  std::fprintf(g_pOut, "end\n");
  return std::fclose(g_pOut) == 0 ? 0 : 2;
}
