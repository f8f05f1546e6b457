#include "ddraw/surface.h"

#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "ddraw/direct_draw.h"
#include "ddraw/page_changes.h"
#include "ddraw/pixels.h"
#include "gdi32/device_context.h"
#include "host/frame_statistics.h"
#include "host/host.h"

namespace platform {
namespace {

// {06675a80-3b9b-11d2-b92f-00609797ea5b}
const GUID kIidSurface7 = {0x06675a80, 0x3b9b, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

// Rows start on 16-byte boundaries, so a row may hold more bytes than the
// picture needs: the pitch, not the width, leads from one row to the next.
int pitch_for(int width, int bytes_per_pixel) { return (width * bytes_per_pixel + 15) & ~15; }

}  // namespace

const GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool same_guid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

Surface::Surface(DirectDraw* owner, int width, int height, int bits_per_pixel, DWORD caps)
    : owner_(owner),
      width_(width),
      height_(height),
      bits_per_pixel_(bits_per_pixel),
      pitch_(pitch_for(width, bits_per_pixel / 8)),
      caps_(caps),
      pixels_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height)),
      history_(pixels_, width, height, pitch_, bits_per_pixel / 8, (caps & DDSCAPS_PRIMARYSURFACE) != 0) {
  owner_->AddRef();
}

Surface::~Surface() {
  if (dc_ != nullptr) release_surface_dc(dc_);
  if (back_ != nullptr) {
    host().forget_frame();
    owner_->primary_destroyed();
    back_->Release();
  }
  owner_->Release();
}

HRESULT Surface::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (!same_guid(riid, kIidSurface7) && !same_guid(riid, kIidUnknown)) {
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *ppvObject = static_cast<IDirectDrawSurface7*>(this);
  return S_OK;
}

ULONG Surface::AddRef() { return ++refs_; }

ULONG Surface::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

bool Surface::take_rect(const RECT* rect, RECT& out) const {
  if (rect == nullptr) {
    out = RECT{0, 0, width_, height_};
    return true;
  }
  out = *rect;
  return out.left >= 0 && out.top >= 0 && out.left < out.right && out.top < out.bottom &&
         out.right <= width_ && out.bottom <= height_;
}

PixelBlock Surface::block(const RECT& rect) const {
  PixelBlock result;
  result.first = pixels_.get() + static_cast<std::ptrdiff_t>(rect.top) * pitch_ +
                 static_cast<std::ptrdiff_t>(rect.left) * (bits_per_pixel_ / 8);
  result.pitch = pitch_;
  result.width = rect.right - rect.left;
  result.height = rect.bottom - rect.top;
  return result;
}

HRESULT Surface::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE7 lpDDSrcSurface, LPRECT lpSrcRect, DWORD dwFlags,
                     LPDDBLTFX lpDDBltFx) {
  // Blit effects (fills, mirroring, raster operations) are not provided.
  if (lpDDBltFx != nullptr || (dwFlags & DDBLT_COLORFILL) != 0) return DDERR_UNSUPPORTED;
  if (lpDDSrcSurface == nullptr) return DDERR_INVALIDPARAMS;
  // Every surface handed out is one of ours.
  Surface* source = static_cast<Surface*>(lpDDSrcSurface);

  // No clipper exists: a destination rectangle that is empty or reaches
  // past an edge is refused whole, and nothing is drawn.
  RECT dest;
  RECT from;
  if (!take_rect(lpDestRect, dest) || !source->take_rect(lpSrcRect, from)) return DDERR_INVALIDRECT;
  if (busy() || source->busy()) return DDERR_SURFACEBUSY;
  if (source->bits_per_pixel_ != bits_per_pixel_) return DDERR_INVALIDPIXELFORMAT;
  const bool use_key = (dwFlags & DDBLT_KEYSRC) != 0;
  if (use_key && !source->keyed_) return DDERR_INVALIDPARAMS;

  const int bytes_per_pixel = bits_per_pixel_ / 8;
  const SourceKey* key = use_key ? &source->key_ : nullptr;
  if (source == this) {
    history_.write(dest);
    blit_overlapping(block(dest), block(from), bytes_per_pixel, key);
    return DD_OK;
  }
  if (history_.blit(dest, source->history_, source->blit_cache_, from, key)) return DD_OK;
  if (use_key) {
    source->blit_cache_.blit_keyed(block(dest), source->whole(), source->history_.generation(), from,
                                   bytes_per_pixel, *key);
  } else {
    blit_pixels(block(dest), source->block(from), bytes_per_pixel, nullptr);
  }
  return DD_OK;
}

void Surface::present(const ChangedArea& changed) const {
  count_flip();
  host().present(view(), changed);
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE7 lpDDSurfaceTargetOverride, DWORD) {
  if (back_ == nullptr) return DDERR_NOTFLIPPABLE;
  if (lpDDSurfaceTargetOverride != nullptr && lpDDSurfaceTargetOverride != back_) return DDERR_INVALIDPARAMS;
  if (busy() || back_->busy()) return DDERR_SURFACEBUSY;
  // The pages trade their memory; the interfaces stay where they are, so
  // the back buffer is again the surface the next frame is drawn on.
  // What was drawn on the page in front since it was shown is not on the
  // display yet, even where the page coming in front holds the same.
  ChangedArea changed = history_.take_drawn_while_shown();
  history_.swap(back_->history_);
  std::swap(pixels_, back_->pixels_);
  // What the screen gains besides: where the page now in front differs
  // from the one it replaces, which the histories of both pages narrow down.
  const std::optional<std::vector<RECT>> maybe = history_.differences_from(back_->history_);
  changed.add(maybe ? changed_between(view(), back_->view(), *maybe) : ChangedArea::everything());
  present(changed);
  return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 lpDDSCaps, LPDIRECTDRAWSURFACE7* lplpDDAttachedSurface) {
  if (lplpDDAttachedSurface == nullptr || lpDDSCaps == nullptr) return DDERR_INVALIDPARAMS;
  *lplpDDAttachedSurface = nullptr;
  if (back_ == nullptr || lpDDSCaps->dwCaps == 0 || (back_->caps_ & lpDDSCaps->dwCaps) != lpDDSCaps->dwCaps) {
    return DDERR_NOTFOUND;
  }
  back_->AddRef();
  *lplpDDAttachedSurface = back_;
  return DD_OK;
}

HRESULT Surface::GetDC(HDC* lphDC) {
  if (lphDC == nullptr) return DDERR_INVALIDPARAMS;
  if (dc_ != nullptr) return DDERR_DCALREADYCREATED;
  if (locked_) return DDERR_SURFACEBUSY;
  dc_ = create_surface_dc(view());
  if (dc_ == nullptr) return DDERR_CANTCREATEDC;
  // Text may be drawn into the pixels until ReleaseDC, which says where.
  history_.write(RECT{0, 0, 0, 0});
  *lphDC = dc_;
  return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC hDC) {
  if (dc_ == nullptr) return DDERR_NODC;
  if (hDC != dc_) return DDERR_INVALIDPARAMS;
  RECT drawn{0, 0, 0, 0};
  release_surface_dc(dc_, &drawn);
  dc_ = nullptr;
  history_.drawn(drawn);
  return DD_OK;
}

HRESULT Surface::Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 lpDDSurfaceDesc, DWORD dwFlags, HANDLE) {
  if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != sizeof(DDSURFACEDESC2))
    return DDERR_INVALIDPARAMS;
  RECT area;
  if (!take_rect(lpDestRect, area)) return DDERR_INVALIDRECT;
  if (busy()) return DDERR_SURFACEBUSY;

  // A lock only to read leaves the surface's history as it is: its pixels
  // are read where they are now, which while a copy of another surface is
  // owed is that surface's memory.
  const bool read_only = (dwFlags & DDLOCK_READONLY) != 0;
  const PixelBlock pixels = read_only ? history_.current() : whole();
  std::memset(lpDDSurfaceDesc, 0, sizeof(DDSURFACEDESC2));
  lpDDSurfaceDesc->dwSize = sizeof(DDSURFACEDESC2);
  lpDDSurfaceDesc->dwFlags =
      DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_LPSURFACE;
  lpDDSurfaceDesc->dwWidth = static_cast<DWORD>(width_);
  lpDDSurfaceDesc->dwHeight = static_cast<DWORD>(height_);
  lpDDSurfaceDesc->lPitch = pitch_;
  lpDDSurfaceDesc->lpSurface = pixels.first + static_cast<std::ptrdiff_t>(area.top) * pitch_ +
                               static_cast<std::ptrdiff_t>(area.left) * (bits_per_pixel_ / 8);
  lpDDSurfaceDesc->ddsCaps.dwCaps = caps_;
  if (back_ != nullptr) {
    lpDDSurfaceDesc->dwFlags |= DDSD_BACKBUFFERCOUNT;
    lpDDSurfaceDesc->dwBackBufferCount = 1;
  }
  if (keyed_) {
    lpDDSurfaceDesc->dwFlags |= DDSD_CKSRCBLT;
    lpDDSurfaceDesc->ddckCKSrcBlt.dwColorSpaceLowValue = key_.low;
    lpDDSurfaceDesc->ddckCKSrcBlt.dwColorSpaceHighValue = key_.high;
  }
  lpDDSurfaceDesc->ddpfPixelFormat = pixel_format(bits_per_pixel_);
  // Otherwise the caller may read and write anywhere through the pointer
  // until Unlock.
  if (!read_only) history_.write(RECT{0, 0, width_, height_});
  locked_ = true;
  return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD dwFlags, LPDDCOLORKEY lpDDColorKey) {
  // Only source keys for blits exist here.
  if ((dwFlags & DDCKEY_SRCBLT) == 0 || (dwFlags & ~(DDCKEY_SRCBLT | DDCKEY_COLORSPACE)) != 0) {
    return DDERR_UNSUPPORTED;
  }
  history_.rekeyed();
  if (lpDDColorKey == nullptr) {
    keyed_ = false;
    return DD_OK;
  }
  // Without DDCKEY_COLORSPACE the key is one colour, the low value.
  key_.low = lpDDColorKey->dwColorSpaceLowValue;
  key_.high = (dwFlags & DDCKEY_COLORSPACE) != 0 ? lpDDColorKey->dwColorSpaceHighValue : key_.low;
  keyed_ = true;
  return DD_OK;
}

HRESULT Surface::Unlock(LPRECT) {
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  return DD_OK;
}

}  // namespace platform
