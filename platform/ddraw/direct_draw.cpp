#include "ddraw/direct_draw.h"

#include "ddraw/pixels.h"
#include "ddraw/surface.h"

// {15e65ec0-3b9c-11d2-b92f-00609797ea5b}
const GUID IID_IDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

namespace platform {
namespace {

constexpr HRESULT kNoAggregation = static_cast<HRESULT>(0x80040110UL);  // CLASS_E_NOAGGREGATION

// The desktop a primary surface shows when no display mode was set.
constexpr int kDesktopWidth = 1024;
constexpr int kDesktopHeight = 768;
constexpr int kDesktopBits = 32;

// Larger surfaces than this are refused as out of memory, so that a size
// read from a damaged file cannot take the machine's memory.
constexpr int kMaxSide = 16384;
constexpr std::size_t kMaxSurfaceBytes = std::size_t{256} << 20;

}  // namespace

Surface* DirectDraw::new_surface(int width, int height, int bits_per_pixel, DWORD caps) {
  return new Surface(this, width, height, bits_per_pixel, caps);
}

[[gnu::weak]] HRESULT make_direct_draw(DirectDraw** made) {
  *made = new DirectDraw();
  return DD_OK;
}

HRESULT DirectDraw::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (!same_guid(riid, IID_IDirectDraw7) && !same_guid(riid, kIidUnknown)) {
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *ppvObject = static_cast<IDirectDraw7*>(this);
  return S_OK;
}

ULONG DirectDraw::AddRef() { return ++refs_; }

ULONG DirectDraw::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
  const bool exclusive = (dwFlags & DDSCL_EXCLUSIVE) != 0;
  const bool full_screen = (dwFlags & DDSCL_FULLSCREEN) != 0;
  const bool normal = (dwFlags & DDSCL_NORMAL) != 0;
  // Exclusive and full screen go together, and need the window that takes
  // the screen over; normal cooperation excludes both.
  if (exclusive != full_screen || exclusive == normal) return DDERR_INVALIDPARAMS;
  if (exclusive && !IsWindow(hWnd)) return DDERR_INVALIDPARAMS;
  cooperation_ = dwFlags;
  return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD, DWORD) {
  if (cooperation_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  if ((dwBPP != 32 && dwBPP != 16) || dwWidth == 0 || dwHeight == 0 || dwWidth > kMaxSide ||
      dwHeight > kMaxSide) {
    return DDERR_INVALIDMODE;
  }
  mode_width_ = static_cast<int>(dwWidth);
  mode_height_ = static_cast<int>(dwHeight);
  mode_bits_ = static_cast<int>(dwBPP);
  return DD_OK;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC2 lpDDSurfaceDesc2, LPDIRECTDRAWSURFACE7* lplpDDSurface,
                                  IUnknown* pUnkOuter) {
  if (lplpDDSurface == nullptr) return DDERR_INVALIDPARAMS;
  *lplpDDSurface = nullptr;
  if (lpDDSurfaceDesc2 == nullptr || lpDDSurfaceDesc2->dwSize != sizeof(DDSURFACEDESC2))
    return DDERR_INVALIDPARAMS;
  if (pUnkOuter != nullptr) return kNoAggregation;
  const DWORD caps = (lpDDSurfaceDesc2->dwFlags & DDSD_CAPS) != 0 ? lpDDSurfaceDesc2->ddsCaps.dwCaps : 0;
  if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) return create_primary(*lpDDSurfaceDesc2, caps, lplpDDSurface);
  return create_offscreen(*lpDDSurfaceDesc2, caps, lplpDDSurface);
}

HRESULT DirectDraw::create_primary(const DDSURFACEDESC2& desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface) {
  if (cooperation_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  // The primary is the screen: its size and format are the display's.
  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) return DDERR_INVALIDPARAMS;
  if (primary_ != nullptr) return DDERR_PRIMARYSURFACEALREADYEXISTS;

  const bool flipping = (caps & DDSCAPS_FLIP) != 0;
  DWORD back_buffers = 0;
  if (flipping) {
    if ((caps & DDSCAPS_COMPLEX) == 0 || (desc.dwFlags & DDSD_BACKBUFFERCOUNT) == 0 ||
        desc.dwBackBufferCount == 0) {
      return DDERR_INVALIDCAPS;
    }
    if ((cooperation_ & DDSCL_EXCLUSIVE) == 0) return DDERR_NOEXCLUSIVEMODE;
    // The game flips between two pages; longer chains are not provided.
    if (desc.dwBackBufferCount > 1) return DDERR_UNSUPPORTED;
    back_buffers = 1;
  }

  const bool mode_set = mode_bits_ != 0;
  const int width = mode_set ? mode_width_ : kDesktopWidth;
  const int height = mode_set ? mode_height_ : kDesktopHeight;
  const int bits = mode_set ? mode_bits_ : kDesktopBits;
  const DWORD memory = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
  Surface* front = new_surface(width, height, bits, caps | memory | (flipping ? DDSCAPS_FRONTBUFFER : 0));
  if (!front->valid()) {
    front->Release();
    return DDERR_OUTOFVIDEOMEMORY;
  }
  if (back_buffers == 1) {
    const DWORD back_caps =
        (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | memory | DDSCAPS_BACKBUFFER;
    Surface* back = new_surface(width, height, bits, back_caps);
    if (!back->valid()) {
      back->Release();
      front->Release();
      return DDERR_OUTOFVIDEOMEMORY;
    }
    front->attach_back_buffer(back);
  }
  primary_ = front;
  *surface = front;
  return DD_OK;
}

HRESULT DirectDraw::create_offscreen(const DDSURFACEDESC2& desc, DWORD caps, LPDIRECTDRAWSURFACE7* surface) {
  if (cooperation_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  if ((caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX)) != 0) {
    return DDERR_INVALIDCAPS;
  }
  if ((caps & DDSCAPS_SYSTEMMEMORY) != 0 && (caps & DDSCAPS_VIDEOMEMORY) != 0) return DDERR_INVALIDCAPS;
  if ((desc.dwFlags & DDSD_WIDTH) == 0 || (desc.dwFlags & DDSD_HEIGHT) == 0 || desc.dwWidth == 0 ||
      desc.dwHeight == 0) {
    return DDERR_INVALIDPARAMS;
  }

  // A surface without a pixel format takes the display's.
  int bits = mode_bits_ != 0 ? mode_bits_ : kDesktopBits;
  if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0) {
    bits = bits_of(desc.ddpfPixelFormat);
    if (bits == 0) return DDERR_INVALIDPIXELFORMAT;
  }
  const bool video = (caps & DDSCAPS_SYSTEMMEMORY) == 0;
  const HRESULT no_memory = video ? DDERR_OUTOFVIDEOMEMORY : DDERR_OUTOFMEMORY;
  if (desc.dwWidth > kMaxSide || desc.dwHeight > kMaxSide) return no_memory;
  const int width = static_cast<int>(desc.dwWidth);
  const int height = static_cast<int>(desc.dwHeight);
  if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
          static_cast<std::size_t>(bits / 8) >
      kMaxSurfaceBytes) {
    return no_memory;
  }

  const DWORD memory = video ? DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM : DDSCAPS_SYSTEMMEMORY;
  Surface* created = new_surface(width, height, bits, caps | DDSCAPS_OFFSCREENPLAIN | memory);
  if (!created->valid()) {
    created->Release();
    return no_memory;
  }
  *surface = created;
  return DD_OK;
}

}  // namespace platform

HRESULT WINAPI DirectDrawCreateEx(GUID* lpGuid, LPVOID* lplpDD, REFIID iid, IUnknown* pUnkOuter) {
  if (lplpDD == nullptr) return DDERR_INVALIDPARAMS;
  *lplpDD = nullptr;
  // Only the primary display driver, through the version 7 interface.
  if (lpGuid != nullptr || !platform::same_guid(iid, IID_IDirectDraw7)) return DDERR_INVALIDPARAMS;
  if (pUnkOuter != nullptr) return platform::kNoAggregation;
  platform::DirectDraw* made = nullptr;
  const HRESULT result = platform::make_direct_draw(&made);
  if (result == DD_OK) *lplpDD = static_cast<IDirectDraw7*>(made);
  return result;
}
