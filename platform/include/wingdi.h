// gdi32: device contexts on surfaces, text, stock objects, and the BMP file
// records.
#pragma once

#include "windef.h"

#define TRANSPARENT 1
#define OPAQUE 2

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define SYSTEM_FONT 13

#define CLR_INVALID 0xFFFFFFFF

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

#define BI_RGB 0L

#pragma pack(push, 2)
typedef struct tagBITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
} BITMAPFILEHEADER, *LPBITMAPFILEHEADER;
#pragma pack(pop)

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER;

// Returns the previous mode, 0 for a device context that does not exist.
int WINAPI SetBkMode(HDC hdc, int mode);
// Returns the previous colour, CLR_INVALID for a device context that does not exist.
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
// Draws c bytes of CP949 text with the top of the first line at y.
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
HGDIOBJ WINAPI GetStockObject(int i);
