// The result of every refusal of DirectDraw the platform gives, and of the
// same calls done right: what a Windows program sees in each case.
#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "game/main_game.h"
#include "support/test_display.h"

namespace {

// IID_IDirectDrawSurface7, as Windows' ddraw.h defines it.
const GUID kIidSurface7 = {0x06675a80, 0x3b9b, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

IDirectDrawSurface7* Offscreen(IDirectDraw7* dd) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ddsd.dwWidth = 16;
  ddsd.dwHeight = 16;
  IDirectDrawSurface7* surface = nullptr;
  return dd->CreateSurface(&ddsd, &surface, nullptr) == DD_OK ? surface : nullptr;
}

TEST(DDrawResults, EveryRefusalHasItsCodeAndTheRightCallSucceeds) {
  hops_test::TestDisplay display;
  IDirectDraw7* const dd = display.dd();
  IDirectDrawSurface7* const primary = display.primary();
  IDirectDrawSurface7* const back = display.back();
  IDirectDrawSurface7* const sprite = Offscreen(dd);
  ASSERT_NE(sprite, nullptr);
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  DDSURFACEDESC2 small{};
  small.dwSize = sizeof(small) - 4;
  DDCOLORKEY key{0x00FF00FF, 0x00FF00FF};
  RECT inside{0, 0, 16, 16}, past{1, 0, 17, 16}, empty{4, 4, 4, 8}, negative{-1, 0, 15, 16};
  RECT corner_past{1009, 753, 1025, 769}, stretched_past{-10, 0, 140, 150};
  alignas(8) char effects[256] = {};
  HDC hdc = nullptr;
  DDSCAPS2 back_caps{}, no_caps{};
  back_caps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface7* attached = nullptr;
  IDirectDraw7* other = nullptr;
  void* unknown = nullptr;
  const GUID some_guid{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  DDSURFACEDESC2 primary_desc{};
  primary_desc.dwSize = sizeof(primary_desc);
  primary_desc.dwFlags = DDSD_CAPS;
  primary_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  DDSURFACEDESC2 both = primary_desc;
  both.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  both.dwWidth = both.dwHeight = 16;
  both.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;

  const struct {
    const char* call;
    std::function<HRESULT()> make;
    HRESULT result;
  } rows[] = {
      {"Blt with effects",
       [&] { return back->Blt(&inside, sprite, nullptr, DDBLT_WAIT, reinterpret_cast<LPDDBLTFX>(effects)); },
       DDERR_UNSUPPORTED},
      {"Blt colour fill", [&] { return back->Blt(&inside, nullptr, nullptr, DDBLT_COLORFILL, nullptr); },
       DDERR_UNSUPPORTED},
      {"Blt without a source", [&] { return back->Blt(&inside, nullptr, nullptr, DDBLT_WAIT, nullptr); },
       DDERR_INVALIDPARAMS},
      {"Blt to a rectangle past the edge",
       [&] { return sprite->Blt(&past, back, nullptr, DDBLT_WAIT, nullptr); }, DDERR_INVALIDRECT},
      {"Blt to an empty rectangle", [&] { return back->Blt(&empty, sprite, nullptr, DDBLT_WAIT, nullptr); },
       DDERR_INVALIDRECT},
      {"Blt from a rectangle past the edge",
       [&] { return back->Blt(&inside, sprite, &negative, DDBLT_WAIT, nullptr); }, DDERR_INVALIDRECT},
      {"Blt keyed from an unkeyed source",
       [&] { return back->Blt(&inside, sprite, nullptr, DDBLT_KEYSRC, nullptr); }, DDERR_INVALIDPARAMS},
      {"SetColorKey for the destination", [&] { return sprite->SetColorKey(DDCKEY_DESTBLT, &key); },
       DDERR_UNSUPPORTED},
      {"SetColorKey with a range",
       [&] { return sprite->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &key); }, DD_OK},
      {"Blt keyed", [&] { return back->Blt(&inside, sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); },
       DD_OK},
      {"Blt keyed past the edge",
       [&] { return back->Blt(&corner_past, sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); },
       DDERR_INVALIDRECT},
      {"Blt keyed, stretched past the edge",
       [&] { return back->Blt(&stretched_past, sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr); },
       DDERR_INVALIDRECT},
      {"SetColorKey removed", [&] { return sprite->SetColorKey(DDCKEY_SRCBLT, nullptr); }, DD_OK},
      {"Blt keyed after the key went",
       [&] { return back->Blt(&inside, sprite, nullptr, DDBLT_KEYSRC, nullptr); }, DDERR_INVALIDPARAMS},
      {"Lock without a description", [&] { return sprite->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr); },
       DDERR_INVALIDPARAMS},
      {"Lock with a wrong dwSize", [&] { return sprite->Lock(nullptr, &small, DDLOCK_WAIT, nullptr); },
       DDERR_INVALIDPARAMS},
      {"Lock past the edge", [&] { return sprite->Lock(&past, &ddsd, DDLOCK_WAIT, nullptr); },
       DDERR_INVALIDRECT},
      {"Unlock unlocked", [&] { return sprite->Unlock(nullptr); }, DDERR_NOTLOCKED},
      {"Lock", [&] { return sprite->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr); }, DD_OK},
      {"Lock again", [&] { return sprite->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr); }, DDERR_SURFACEBUSY},
      {"Blt from a locked source", [&] { return back->Blt(&inside, sprite, nullptr, DDBLT_WAIT, nullptr); },
       DDERR_SURFACEBUSY},
      {"GetDC of a locked surface", [&] { return sprite->GetDC(&hdc); }, DDERR_SURFACEBUSY},
      {"Unlock", [&] { return sprite->Unlock(nullptr); }, DD_OK},
      {"GetDC without a place for it", [&] { return sprite->GetDC(nullptr); }, DDERR_INVALIDPARAMS},
      {"ReleaseDC without one", [&] { return sprite->ReleaseDC(hdc); }, DDERR_NODC},
      {"GetDC", [&] { return sprite->GetDC(&hdc); }, DD_OK},
      {"GetDC again",
       [&] {
         HDC again = nullptr;
         return sprite->GetDC(&again);
       },
       DDERR_DCALREADYCREATED},
      {"ReleaseDC of another", [&] { return sprite->ReleaseDC(nullptr); }, DDERR_INVALIDPARAMS},
      {"ReleaseDC", [&] { return sprite->ReleaseDC(hdc); }, DD_OK},
      {"Flip of a plain surface", [&] { return sprite->Flip(nullptr, DDFLIP_WAIT); }, DDERR_NOTFLIPPABLE},
      {"Flip to another surface", [&] { return primary->Flip(sprite, DDFLIP_WAIT); }, DDERR_INVALIDPARAMS},
      {"Flip while the back buffer is locked",
       [&] {
         back->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr);
         const HRESULT hr = primary->Flip(nullptr, DDFLIP_WAIT);
         back->Unlock(nullptr);
         return hr;
       },
       DDERR_SURFACEBUSY},
      {"Flip", [&] { return primary->Flip(back, DDFLIP_WAIT); }, DD_OK},
      {"GetAttachedSurface without caps", [&] { return primary->GetAttachedSurface(nullptr, &attached); },
       DDERR_INVALIDPARAMS},
      {"GetAttachedSurface of no caps", [&] { return primary->GetAttachedSurface(&no_caps, &attached); },
       DDERR_NOTFOUND},
      {"GetAttachedSurface of a plain surface, which clears the answer",
       [&] {
         attached = sprite;
         const HRESULT hr = sprite->GetAttachedSurface(&back_caps, &attached);
         return attached == nullptr ? hr : E_FAIL;
       },
       DDERR_NOTFOUND},
      {"QueryInterface without a place", [&] { return sprite->QueryInterface(IID_IDirectDraw7, nullptr); },
       E_POINTER},
      {"QueryInterface of its own interface",
       [&] {
         const HRESULT hr = sprite->QueryInterface(kIidSurface7, &unknown);
         if (hr == S_OK) static_cast<IDirectDrawSurface7*>(unknown)->Release();
         return hr;
       },
       S_OK},
      {"QueryInterface of another interface",
       [&] { return sprite->QueryInterface(IID_IDirectDraw7, &unknown); }, E_NOINTERFACE},
      {"DirectDrawCreateEx without a place",
       [&] { return DirectDrawCreateEx(nullptr, nullptr, IID_IDirectDraw7, nullptr); }, DDERR_INVALIDPARAMS},
      {"DirectDrawCreateEx of a device",
       [&] {
         return DirectDrawCreateEx(const_cast<GUID*>(&some_guid), reinterpret_cast<LPVOID*>(&other),
                                   IID_IDirectDraw7, nullptr);
       },
       DDERR_INVALIDPARAMS},
      {"SetCooperativeLevel exclusive, not full screen",
       [&] { return dd->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE); }, DDERR_INVALIDPARAMS},
      {"SetCooperativeLevel for no window",
       [&] {
         return dd->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
       },
       DDERR_INVALIDPARAMS},
      {"SetDisplayMode of 24 bits", [&] { return dd->SetDisplayMode(1024, 768, 24, 0, 0); },
       DDERR_INVALIDMODE},
      {"SetDisplayMode of 8 bits", [&] { return dd->SetDisplayMode(1024, 768, 8, 0, 0); }, DDERR_INVALIDMODE},
      {"CreateSurface without a place", [&] { return dd->CreateSurface(&primary_desc, nullptr, nullptr); },
       DDERR_INVALIDPARAMS},
      {"CreateSurface of a second primary",
       [&] { return dd->CreateSurface(&primary_desc, &attached, nullptr); },
       DDERR_PRIMARYSURFACEALREADYEXISTS},
      {"CreateSurface in both memories", [&] { return dd->CreateSurface(&both, &attached, nullptr); },
       DDERR_INVALIDCAPS},
  };
  std::vector<std::string> got, expected;
  for (const auto& row : rows) {
    got.push_back(std::string(row.call) + ": " + std::to_string(row.make()));
    expected.push_back(std::string(row.call) + ": " + std::to_string(row.result));
  }
  EXPECT_EQ(got, expected);
  sprite->Release();
}

}  // namespace
