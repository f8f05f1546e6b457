// DirectDraw's surfaces: the primary of a flipping chain with its back
// buffer, and off-screen plain surfaces, all in memory of our own.
#pragma once

#include <ddraw.h>

#include "ddraw/blit.h"
#include "ddraw/blit_cache.h"
#include "ddraw/page_history.h"
#include "ddraw/pixel_memory.h"
#include "ddraw/pixels.h"
#include "host/changed_area.h"

namespace platform {

class DirectDraw;

class Surface : public IDirectDrawSurface7 {
 public:
  // A surface of owner's: holds a reference to it for as long as it lives.
  // Pixels start black. Throws nothing; check valid() for the memory.
  Surface(DirectDraw* owner, int width, int height, int bits_per_pixel, DWORD caps);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool valid() const { return pixels_.get() != nullptr; }
  // Makes this the front of a chain with back as its back buffer; the chain
  // holds one reference to the back buffer.
  void attach_back_buffer(Surface* back) { back_ = back; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE7 lpDDSrcSurface, LPRECT lpSrcRect,
                                DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
  HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7 lpDDSurfaceTargetOverride, DWORD dwFlags) override;
  HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 lpDDSCaps,
                                               LPDIRECTDRAWSURFACE7* lplpDDAttachedSurface) override;
  HRESULT STDMETHODCALLTYPE GetDC(HDC* lphDC) override;
  HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags,
                                 HANDLE hEvent) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
  HRESULT STDMETHODCALLTYPE SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) override;
  HRESULT STDMETHODCALLTYPE Unlock(LPRECT lpRect) override;

 protected:
  virtual ~Surface();

 private:
  bool busy() const { return locked_ || dc_ != nullptr; }
  // True when rect (null: the whole surface) is non-empty and inside.
  bool take_rect(const RECT* rect, RECT& out) const;
  PixelBlock block(const RECT& rect) const;
  PixelBlock whole() const { return block(RECT{0, 0, width_, height_}); }
  PixelView view() const { return PixelView{pixels_.get(), width_, height_, pitch_, bits_per_pixel_}; }
  void present(const ChangedArea& changed) const;

  DirectDraw* owner_;
  int width_;
  int height_;
  int bits_per_pixel_;
  int pitch_;
  DWORD caps_;
  PixelMemory pixels_;
  ULONG refs_ = 1;
  Surface* back_ = nullptr;
  bool keyed_ = false;
  SourceKey key_;
  bool locked_ = false;
  HDC dc_ = nullptr;
  // Opaque runs and stretched copies for keyed blits from this surface, kept
  // for one generation of its history.
  BlitCache blit_cache_;
  PageHistory history_;
};

// IUnknown's interface id, which every object answers to.
extern const GUID kIidUnknown;
bool same_guid(const GUID& a, const GUID& b);

}  // namespace platform
