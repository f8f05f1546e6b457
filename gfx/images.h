#pragma once

#include <ddraw.h>
#include <windows.h>

// One picture: an off-screen surface filled from a 24-bit BMP file, drawn
// with magenta as the transparent colour.
class CImages {
 public:
  CImages();
  virtual ~CImages();

  // Load the file into a 32-bit system-memory surface (0x00RRGGBB). False,
  // after a message box, when the file is unusable or the surface cannot be
  // made; the image then has no surface and draws nothing.
  bool LoadBitmap32(IDirectDraw7* pDD, const char* szFileName);
  // As LoadBitmap32, with 5-6-5 pixels in a video-memory surface.
  bool LoadBitmap16(IDirectDraw7* pDD, const char* szFileName);

  // Colour-keyed blit at natural size with the top-left corner at (nX, nY).
  void Draw(IDirectDrawSurface7* pDest, int nX, int nY);
  // Colour-keyed blit stretched by fScale.
  void DrawScaled(IDirectDrawSurface7* pDest, int nX, int nY, float fScale);
  // Averages the picture into the top-left corner of a 32-bit surface.
  void Blend(IDirectDrawSurface7* pDest);

  int GetWidth();

 private:
  CImages(const CImages&);
  CImages& operator=(const CImages&);

  IDirectDrawSurface7* m_pSurface;
  int m_nWidth;
  int m_nHeight;
};
