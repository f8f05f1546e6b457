#include "gfx/images.h"

#include <stdlib.h>
#include <string.h>

#include "gfx/display.h"

// The only files the loaders take: a "BM" file with the 40-byte info header
// and the pixels right after it, 24 bits a pixel, uncompressed, bottom-up.
#define BMP_SIGNATURE 0x4D42
#define BMP_PIXEL_OFFSET 54
#define BMP_INFO_HEADER_SIZE 40
#define BMP_BIT_COUNT 24
// No picture of the game comes near this; a header that claims more is
// damaged, and its size must not reach the allocator or the surface.
#define MAX_BITMAP_SIDE 16384
// The pixel buffer grows by reading, from this size on, so that a header
// promising more than the file holds never allocates more than is there.
#define READ_CHUNK 65536

#define COLOR_KEY_32 0x00FF00FF
#define COLOR_KEY_16 0xF81F

namespace {

struct BitmapPixels {
  BYTE* pBuffer;
  int nStride;
};

void ShowLoadFailure() { MessageBoxA(g_hWnd, "비트맵 로드 실패", "실패", MB_OK); }

bool ReadExactly(HANDLE hFile, void* pBuffer, DWORD dwBytes) {
  DWORD dwRead = 0;
  if (!ReadFile(hFile, pBuffer, dwBytes, &dwRead, NULL)) return false;
  return dwRead == dwBytes;
}

bool IsPlayableBitmap(const BITMAPFILEHEADER& fh, const BITMAPINFOHEADER& ih) {
  if (fh.bfType != BMP_SIGNATURE || fh.bfOffBits != BMP_PIXEL_OFFSET) return false;
  if (ih.biSize != BMP_INFO_HEADER_SIZE || ih.biBitCount != BMP_BIT_COUNT) return false;
  if (ih.biCompression != BI_RGB) return false;
  // A negative height would mean top-down rows, which the copy does not read.
  if (ih.biWidth <= 0 || ih.biHeight <= 0) return false;
  return ih.biWidth <= MAX_BITMAP_SIDE && ih.biHeight <= MAX_BITMAP_SIDE;
}

// Reads dwNeeded bytes from the file position on into a buffer that grows
// with what has really been read. NULL when the file ends sooner.
BYTE* ReadPixelArray(HANDLE hFile, DWORD dwNeeded) {
  BYTE* pBuffer = NULL;
  DWORD dwCapacity = 0;
  DWORD dwFilled = 0;

  while (dwFilled < dwNeeded) {
    if (dwFilled == dwCapacity) {
      DWORD dwGrown = dwCapacity == 0 ? READ_CHUNK : dwCapacity * 2;
      if (dwGrown > dwNeeded) dwGrown = dwNeeded;
      BYTE* pGrown = (BYTE*)realloc(pBuffer, dwGrown);
      if (pGrown == NULL) break;
      pBuffer = pGrown;
      dwCapacity = dwGrown;
    }
    DWORD dwRead = 0;
    if (!ReadFile(hFile, pBuffer + dwFilled, dwCapacity - dwFilled, &dwRead, NULL) || dwRead == 0) break;
    dwFilled += dwRead;
  }

  if (dwFilled < dwNeeded) {
    free(pBuffer);
    return NULL;
  }
  return pBuffer;
}

// Opens and reads a picture file. The width and height are handed out as
// soon as the headers are read, even when the rest turns out unusable.
bool ReadBitmapFile(const char* szFileName, int* pnWidth, int* pnHeight, BitmapPixels* pPixels) {
  HANDLE hFile = CreateFileA(szFileName, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (hFile == INVALID_HANDLE_VALUE) return false;

  BITMAPFILEHEADER fh;
  BITMAPINFOHEADER ih;
  memset(&fh, 0, sizeof(fh));
  memset(&ih, 0, sizeof(ih));
  if (!ReadExactly(hFile, &fh, sizeof(fh)) || !ReadExactly(hFile, &ih, sizeof(ih))) {
    CloseHandle(hFile);
    return false;
  }
  *pnWidth = ih.biWidth;
  *pnHeight = ih.biHeight;
  if (!IsPlayableBitmap(fh, ih)) {
    CloseHandle(hFile);
    return false;
  }

  // Both sides are at most MAX_BITMAP_SIDE, so the product fits in 32 bits.
  pPixels->nStride = ((ih.biBitCount >> 3) * ih.biWidth + 3) & ~3;
  pPixels->pBuffer = ReadPixelArray(hFile, (DWORD)pPixels->nStride * (DWORD)ih.biHeight);
  CloseHandle(hFile);
  return pPixels->pBuffer != NULL;
}

// Creates an off-screen surface of the picture's size in the display's
// format and locks it whole. A surface whose rows cannot hold nBytesPerPixel
// times the width is useless to the copy, and is given back like a failed lock.
bool CreateLockedSurface(IDirectDraw7* pDD, DWORD dwCaps, int nWidth, int nHeight, int nBytesPerPixel,
                         IDirectDrawSurface7** ppSurface, DDSURFACEDESC2* pddsd) {
  DDSURFACEDESC2 ddsd;
  memset(&ddsd, 0, sizeof(ddsd));
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  ddsd.ddsCaps.dwCaps = dwCaps;
  ddsd.dwWidth = (DWORD)nWidth;
  ddsd.dwHeight = (DWORD)nHeight;
  if (pDD->CreateSurface(&ddsd, ppSurface, NULL) != DD_OK) {
    *ppSurface = NULL;
    return false;
  }

  memset(pddsd, 0, sizeof(*pddsd));
  pddsd->dwSize = sizeof(*pddsd);
  if ((*ppSurface)->Lock(NULL, pddsd, DDLOCK_WAIT, NULL) != DD_OK) {
    (*ppSurface)->Release();
    *ppSurface = NULL;
    return false;
  }
  if (pddsd->lpSurface == NULL || pddsd->lPitch / nBytesPerPixel < nWidth || pddsd->dwWidth < (DWORD)nWidth ||
      pddsd->dwHeight < (DWORD)nHeight) {
    (*ppSurface)->Unlock(NULL);
    (*ppSurface)->Release();
    *ppSurface = NULL;
    return false;
  }
  return true;
}

void SetSourceColorKey(IDirectDrawSurface7* pSurface, DWORD dwKey) {
  DDCOLORKEY colorkey;
  colorkey.dwColorSpaceLowValue = dwKey;
  colorkey.dwColorSpaceHighValue = dwKey;
  pSurface->SetColorKey(DDCKEY_SRCBLT, &colorkey);
}

// Reads the file and creates its surface, locked whole, ready for the pixels
// to be copied in. On failure the box is shown and only the width and height
// read from the headers are left.
bool OpenPicture(IDirectDraw7* pDD, const char* szFileName, DWORD dwCaps, int nBytesPerPixel, int* pnWidth,
                 int* pnHeight, IDirectDrawSurface7** ppSurface, BitmapPixels* pPixels,
                 DDSURFACEDESC2* pddsd) {
  if (!ReadBitmapFile(szFileName, pnWidth, pnHeight, pPixels)) {
    ShowLoadFailure();
    return false;
  }
  if (!CreateLockedSurface(pDD, dwCaps, *pnWidth, *pnHeight, nBytesPerPixel, ppSurface, pddsd)) {
    ShowLoadFailure();
    free(pPixels->pBuffer);
    return false;
  }
  return true;
}

// After the copy: the surface is unlocked and keyed, the file's pixels freed.
void ClosePicture(IDirectDrawSurface7* pSurface, BitmapPixels* pPixels, DWORD dwKey) {
  pSurface->Unlock(NULL);
  free(pPixels->pBuffer);
  SetSourceColorKey(pSurface, dwKey);
}

}  // namespace

// Width and height start at 0 so that GetWidth of a picture whose file never
// opened is still a defined number.
CImages::CImages() : m_pSurface(NULL), m_nWidth(0), m_nHeight(0) {}

CImages::~CImages() {
  if (m_pSurface) {
    m_pSurface->Release();
    m_pSurface = NULL;
  }
}

bool CImages::LoadBitmap32(IDirectDraw7* pDD, const char* szFileName) {
  BitmapPixels pixels;
  DDSURFACEDESC2 ddsd;
  if (!OpenPicture(pDD, szFileName, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 4, &m_nWidth, &m_nHeight,
                   &m_pSurface, &pixels, &ddsd)) {
    return false;
  }

  // Row by row through pointers of their own, so that the copy of a row is
  // one plain loop the compiler can widen.
  const int nWidth = m_nWidth;
  for (int y = 0; y < m_nHeight; y++) {
    const BYTE* pSource = pixels.pBuffer + (m_nHeight - 1 - y) * pixels.nStride;
    DWORD* pdwRow = (DWORD*)ddsd.lpSurface + (ddsd.lPitch / 4) * y;
    for (int x = 0; x < nWidth; x++) {
      pdwRow[x] =
          (DWORD)pSource[3 * x] | ((DWORD)pSource[3 * x + 1] << 8) | ((DWORD)pSource[3 * x + 2] << 16);
    }
  }
  ClosePicture(m_pSurface, &pixels, COLOR_KEY_32);
  return true;
}

bool CImages::LoadBitmap16(IDirectDraw7* pDD, const char* szFileName) {
  BitmapPixels pixels;
  DDSURFACEDESC2 ddsd;
  if (!OpenPicture(pDD, szFileName, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, 2, &m_nWidth, &m_nHeight,
                   &m_pSurface, &pixels, &ddsd)) {
    return false;
  }

  const int nWidth = m_nWidth;
  for (int y = 0; y < m_nHeight; y++) {
    const BYTE* pSource = pixels.pBuffer + (m_nHeight - 1 - y) * pixels.nStride;
    WORD* pwRow = (WORD*)ddsd.lpSurface + (ddsd.lPitch / 2) * y;
    for (int x = 0; x < nWidth; x++) {
      pwRow[x] = (WORD)((pSource[3 * x] >> 3) | ((pSource[3 * x + 1] >> 2) << 5) |
                        ((pSource[3 * x + 2] >> 3) << 11));
    }
  }
  ClosePicture(m_pSurface, &pixels, COLOR_KEY_16);
  return true;
}

void CImages::Draw(IDirectDrawSurface7* pDest, int nX, int nY) {
  // A picture that failed to load is never handed to DirectDraw as a source.
  if (m_pSurface == NULL) return;

  RECT rcDest;
  rcDest.left = nX;
  rcDest.top = nY;
  rcDest.right = nX + m_nWidth;
  rcDest.bottom = nY + m_nHeight;
  pDest->Blt(&rcDest, m_pSurface, NULL, DDBLT_WAIT | DDBLT_KEYSRC, NULL);
}

void CImages::DrawScaled(IDirectDrawSurface7* pDest, int nX, int nY, float fScale) {
  if (m_pSurface == NULL) return;

  RECT rcDest;
  rcDest.left = nX;
  rcDest.top = nY;
  rcDest.right = (int)((double)nX + (double)m_nWidth * (double)fScale);
  rcDest.bottom = (int)((double)nY + (double)m_nHeight * (double)fScale);
  pDest->Blt(&rcDest, m_pSurface, NULL, DDBLT_WAIT | DDBLT_KEYSRC, NULL);
}

void CImages::Blend(IDirectDrawSurface7* pDest) {
  if (m_pSurface == NULL) return;

  DDSURFACEDESC2 ddsdDest;
  DDSURFACEDESC2 ddsdSour;
  memset(&ddsdDest, 0, sizeof(ddsdDest));
  ddsdDest.dwSize = sizeof(ddsdDest);
  memset(&ddsdSour, 0, sizeof(ddsdSour));
  ddsdSour.dwSize = sizeof(ddsdSour);

  if (pDest->Lock(NULL, &ddsdDest, DDLOCK_WAIT, NULL) != DD_OK) return;
  if (m_pSurface->Lock(NULL, &ddsdSour, DDLOCK_WAIT, NULL) != DD_OK) {
    pDest->Unlock(NULL);
    return;
  }

  // The averaging covers the picture, but never more than the destination
  // or either surface's rows can hold in 4-byte pixels.
  int nHeight = (int)ddsdSour.dwHeight;
  int nWidth = (int)ddsdSour.dwWidth;
  if (nHeight > (int)ddsdDest.dwHeight) nHeight = (int)ddsdDest.dwHeight;
  if (nWidth > (int)ddsdDest.dwWidth) nWidth = (int)ddsdDest.dwWidth;
  if (nWidth > ddsdSour.lPitch / 4) nWidth = ddsdSour.lPitch / 4;
  if (nWidth > ddsdDest.lPitch / 4) nWidth = ddsdDest.lPitch / 4;
  if (ddsdDest.lpSurface == NULL || ddsdSour.lpSurface == NULL) nHeight = 0;

  BYTE* pDestPixels = (BYTE*)ddsdDest.lpSurface;
  const BYTE* pSourPixels = (const BYTE*)ddsdSour.lpSurface;
  for (int y = 0; y < nHeight; y++) {
    for (int x = 0; x < nWidth; x++) {
      BYTE* rgbDest = pDestPixels + 4 * (y * (ddsdDest.lPitch / 4) + x);
      const BYTE* rgbSour = pSourPixels + 4 * (y * (ddsdSour.lPitch / 4) + x);
      BYTE rgb[4];
      for (int i = 0; i < 3; i++) {
        rgb[i] = (BYTE)(int)((double)rgbDest[i] * 0.5 + (double)rgbSour[i] * 0.5);
      }
      // The top byte of a 0x00RRGGBB pixel stays 0.
      rgb[3] = 0;
      memcpy(rgbDest, rgb, 4);
    }
  }

  m_pSurface->Unlock(NULL);
  pDest->Unlock(NULL);
}

int CImages::GetWidth() { return m_nWidth; }
