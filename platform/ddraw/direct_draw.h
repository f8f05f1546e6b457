// DirectDraw's object: cooperation, display mode and surface creation.
#pragma once

#include <ddraw.h>

namespace platform {

class Surface;

class DirectDraw : public IDirectDraw7 {
 public:
  DirectDraw() = default;
  DirectDraw(const DirectDraw&) = delete;
  DirectDraw& operator=(const DirectDraw&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 lpDDSurfaceDesc2,
                                          LPDIRECTDRAWSURFACE7* lplpDDSurface, IUnknown* pUnkOuter) override;
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;
  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate,
                                           DWORD dwFlags) override;

  // The primary surface tells its owner when it goes away.
  void primary_destroyed() { primary_ = nullptr; }

 protected:
  virtual ~DirectDraw() = default;
  // A new surface of this object's (of its own kind for a derived object).
  virtual Surface* new_surface(int width, int height, int bits_per_pixel, DWORD caps);

 private:
  HRESULT create_primary(const DDSURFACEDESC2& desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface);
  HRESULT create_offscreen(const DDSURFACEDESC2& desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface);

  ULONG refs_ = 1;
  DWORD cooperation_ = 0;
  int mode_width_ = 0;
  int mode_height_ = 0;
  int mode_bits_ = 0;
  Surface* primary_ = nullptr;
};

// Makes the object DirectDrawCreateEx hands out, after checking its
// arguments; the result is DirectDrawCreateEx's. Defined weak: a program may
// link its own maker (the tests link one whose objects fail on request).
HRESULT make_direct_draw(DirectDraw** made);

}  // namespace platform
