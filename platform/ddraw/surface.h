// DirectDraw's surfaces: the primary of a flipping chain with its back
// buffer, and off-screen plain surfaces, all in memory of our own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <ddraw.h>

#include "ddraw/blit.h"
#include "ddraw/blit_cache.h"
#include "ddraw/pixel_memory.h"

namespace platform {

class DirectDraw;

class Surface final : public IDirectDrawSurface7 {
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

 private:
  ~Surface();

  bool busy() const { return locked_ || dc_ != nullptr; }
  // True when rect (null: the whole surface) is non-empty and inside.
  bool take_rect(const RECT* rect, RECT& out) const;
  PixelBlock block(const RECT& rect) const;
  PixelBlock whole() const { return block(RECT{0, 0, width_, height_}); }
  void present() const;

  // A blit that covers this whole surface with every pixel of a surface of
  // its size is not made at once: the next whole keyed picture drawn over
  // it is then drawn together with it, each pixel written once (the game
  // draws the night sky, then the play field over it). Until then these
  // pixels are base_'s, and base_ lists this surface among its copies_.
  void defer_copy_of(Surface* base);
  void forget_base();
  // Makes the deferred copy, before these pixels are read or changed.
  void settle();
  // Before these pixels change or go: the surfaces still to copy them do.
  void settle_copies();

  // A picture drawn keyed over the whole of a base leaves a backdrop these
  // pixels keep knowing about: they are that picture over that base, apart
  // from the rectangles drawn on since. When the same picture is next drawn
  // over the same base, neither of them changed, only those rectangles are
  // put back (the game draws the same sky and field under every frame, and
  // its sprites cover a few per cent of the screen). The surfaces are
  // recognised by address and generation, never used through these pointers.
  struct Backdrop {
    const Surface* under = nullptr;
    std::uint64_t under_generation = 0;
    const Surface* over = nullptr;
    std::uint64_t over_generation = 0;
    std::vector<RECT> damage;
    std::int64_t damaged_pixels = 0;  // their areas added up
  };
  // Draws source's whole picture keyed over base_'s, from what is known of
  // these pixels, and forgets base_.
  void draw_over_base(Surface* source, int bytes_per_pixel);
  // rect of these pixels is drawn on.
  void damage(const RECT& rect);
  void forget_backdrop() {
    backdrop_.under = nullptr;
    backdrop_.damage.clear();
    backdrop_.damaged_pixels = 0;
  }
  // These pixels or this key change: backdrops made from them no longer hold.
  void changed();

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
  // Opaque runs and stretched copies for keyed blits from this surface;
  // dropped whenever the pixels or the key may change (Lock, GetDC, being
  // drawn on, SetColorKey, Flip).
  BlitCache blit_cache_;
  Surface* base_ = nullptr;
  std::vector<Surface*> copies_;
  Backdrop backdrop_;
  std::uint64_t generation_ = 0;
};

// The DirectDraw object: cooperation, display mode and surface creation.
class DirectDraw final : public IDirectDraw7 {
 public:
  DirectDraw();
  DirectDraw(const DirectDraw&) = delete;
  DirectDraw& operator=(const DirectDraw&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 lpDDSurfaceDesc2, LPDIRECTDRAWSURFACE7* lplpDDSurface,
                                          IUnknown* pUnkOuter) override;
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

// IUnknown's interface id, which every object answers to.
extern const GUID kIidUnknown;
bool same_guid(const GUID& a, const GUID& b);

// Bookkeeping of the objects alive, for leak checks in tests.
void ddraw_object_born(const void* object);
void ddraw_object_died(const void* object);

}  // namespace platform
