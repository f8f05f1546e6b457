#include "ddraw/direct_draw.h"

#include <cstring>
#include <unordered_set>

#include "ddraw/fault_injection.h"
#include "ddraw/surface.h"
#include "platform_state.h"

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

std::unordered_set<const void*>& live() {
  static std::unordered_set<const void*> s_live;
  return s_live;
}

// The formats a surface can be asked for: 32-bit 0x00RRGGBB and 16-bit 5-6-5.
int bits_of(const DDPIXELFORMAT& format) {
  if (format.dwSize != sizeof(DDPIXELFORMAT) || (format.dwFlags & DDPF_RGB) == 0) return 0;
  if (format.dwRGBBitCount == 32 && format.dwRBitMask == 0x00FF0000 && format.dwGBitMask == 0x0000FF00 &&
      format.dwBBitMask == 0x000000FF) {
    return 32;
  }
  if (format.dwRGBBitCount == 16 && format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 &&
      format.dwBBitMask == 0x001F) {
    return 16;
  }
  return 0;
}

}  // namespace

void ddraw_object_born(const void* object) { live().insert(object); }
void ddraw_object_died(const void* object) { live().erase(object); }

int live_ddraw_objects() { return static_cast<int>(live().size()); }

// Objects a finished test left behind are forgotten, not freed: someone may
// still hold them.
void reset_ddraw() { live().clear(); }

DirectDraw::DirectDraw() { ddraw_object_born(this); }

DirectDraw::~DirectDraw() { ddraw_object_died(this); }

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
  const HRESULT fault = take_fault(DDrawCall::SetCooperativeLevel);
  if (fault != DD_OK) return fault;
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
  const HRESULT fault = take_fault(DDrawCall::SetDisplayMode);
  if (fault != DD_OK) return fault;
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
  const HRESULT fault = take_fault(DDrawCall::CreatePrimarySurface);
  if (fault != DD_OK) return fault;
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
  Surface* front =
      new Surface(this, width, height, bits, caps | memory | (flipping ? DDSCAPS_FRONTBUFFER : 0));
  if (!front->valid()) {
    front->Release();
    return DDERR_OUTOFVIDEOMEMORY;
  }
  if (back_buffers == 1) {
    const DWORD back_caps =
        (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | memory | DDSCAPS_BACKBUFFER;
    Surface* back = new Surface(this, width, height, bits, back_caps);
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
  const HRESULT fault = take_fault(DDrawCall::CreateOffscreenSurface);
  if (fault != DD_OK) return fault;
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
  Surface* created = new Surface(this, width, height, bits, caps | DDSCAPS_OFFSCREENPLAIN | memory);
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
  const HRESULT fault = platform::take_fault(platform::DDrawCall::DirectDrawCreateEx);
  if (fault != DD_OK) return fault;
  // Only the primary display driver, through the version 7 interface.
  if (lpGuid != nullptr || !platform::same_guid(iid, IID_IDirectDraw7)) return DDERR_INVALIDPARAMS;
  if (pUnkOuter != nullptr) return platform::kNoAggregation;
  *lplpDD = static_cast<IDirectDraw7*>(new platform::DirectDraw());
  return DD_OK;
}
