// DirectDraw's object: cooperation, display mode and surface creation.
#pragma once

#include <ddraw.h>

namespace platform {

class Surface;

class DirectDraw final : public IDirectDraw7 {
 public:
  DirectDraw();
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

 private:
  ~DirectDraw();

  HRESULT create_primary(const DDSURFACEDESC2& desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface);
  HRESULT create_offscreen(const DDSURFACEDESC2& desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface);

  ULONG refs_ = 1;
  DWORD cooperation_ = 0;
  int mode_width_ = 0;
  int mode_height_ = 0;
  int mode_bits_ = 0;
  Surface* primary_ = nullptr;
};

}  // namespace platform
