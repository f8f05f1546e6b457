// DirectDraw on our own memory, through the COM interfaces the game calls:
// the result of every refusal and of the calls done right, what Lock
// describes, reference counts, and a keyed stretch against a plain loop.
// What sequences of blits, keys, locks, text and flips draw is the surface
// fuzzer's (fuzz/surface_ops.cpp, replayed by surface_ops_test).
#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "game/main_game.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;

// IID_IDirectDrawSurface7 and IID_IUnknown, as Windows' headers define them.
const GUID kIidSurface7 = {0x06675a80, 0x3b9b, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};
const GUID kIidUnknown = {0, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};

TEST(DDraw, EveryCallHasItsResult) {
  hops_test::TestDisplay display;
  IDirectDraw7* const dd = display.dd();
  IDirectDrawSurface7 *const primary = display.primary(), *const back = display.back();
  IDirectDrawSurface7 *const pic = display.plain(16, 16), *const other_depth = display.plain(16, 16, 16);
  DDSURFACEDESC2 both = pt::plain_surface_description(16, 16, 32, DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY);
  DDSURFACEDESC2 ddsd = both, small = both, primary_desc = both;
  small.dwSize -= 4;
  primary_desc.dwFlags = DDSD_CAPS;
  primary_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  DDCOLORKEY key{0x00FF00FF, 0x00FF00FF};
  RECT inside{0, 0, 16, 16}, past{1, 0, 17, 16}, negative{-1, 0, 15, 16}, empty{3, 3, 3, 9};
  RECT corner{1008, 752, 1024, 768};
  HDC hdc = nullptr, again = nullptr;
  DDSCAPS2 back_caps{DDSCAPS_BACKBUFFER, 0, 0, {0}}, no_caps{};
  IDirectDrawSurface7 *attached = pic, *made = pic;
  void *unknown = nullptr, *other = dd;
  GUID device{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  hops_test::paint_surface(pic, [](int x, int y) { return 0x00010203u * static_cast<std::uint32_t>(x + y); });
  const pt::Screen before = hops_test::read_surface(pic);
  // A refused call clears what it answers: each place holds a surface before.
  const auto cleared = [](auto*& place, HRESULT result) { return place == nullptr ? result : E_FAIL; };

  // Blit effects (a DDBLTFX, a colour fill) are not provided.
  EXPECT_EQ(back->Blt(&inside, pic, nullptr, 0, reinterpret_cast<LPDDBLTFX>(&ddsd)), DDERR_UNSUPPORTED);
  EXPECT_EQ(back->Blt(&inside, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_UNSUPPORTED);
  EXPECT_EQ(back->Blt(&inside, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(pic->Blt(&past, back, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(back->Blt(&inside, pic, &negative, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(back->Blt(&empty, pic, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(back->Blt(&inside, other_depth, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(pic->SetColorKey(DDCKEY_DESTBLT, &key), DDERR_UNSUPPORTED);
  EXPECT_EQ(pic->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &key), DD_OK);
  EXPECT_EQ(back->Blt(&corner, pic, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
  for (RECT past_edge : {RECT{1009, 753, 1025, 769}, RECT{-10, 0, 140, 150}})
    EXPECT_EQ(back->Blt(&past_edge, pic, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(pic->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(pic->Lock(nullptr, &small, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(pic->Lock(&past, &ddsd, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(pic->Unlock(nullptr), DDERR_NOTLOCKED);
  // A Lock failing as armed leaves the surface unlocked.
  pt::fail_call(pt::Call::Lock, 1, DDERR_SURFACELOST);
  for (const HRESULT result : {DDERR_SURFACELOST, DD_OK, DDERR_SURFACEBUSY})
    EXPECT_EQ(pic->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), result);
  EXPECT_EQ(back->Blt(&inside, pic, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(pic->Blt(&inside, back, &inside, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(pic->GetDC(&hdc), DDERR_SURFACEBUSY);
  EXPECT_EQ(pic->Unlock(nullptr), DD_OK);
  EXPECT_EQ(pic->GetDC(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(pic->ReleaseDC(hdc), DDERR_NODC);
  EXPECT_EQ(pic->GetDC(&hdc), DD_OK);
  EXPECT_EQ(pic->GetDC(&again), DDERR_DCALREADYCREATED);
  EXPECT_EQ(pic->ReleaseDC(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(pic->ReleaseDC(hdc), DD_OK);
  EXPECT_EQ(pic->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  EXPECT_EQ(primary->Flip(pic, DDFLIP_WAIT), DDERR_INVALIDPARAMS);
  EXPECT_EQ(back->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
  EXPECT_EQ(back->Unlock(nullptr), DD_OK);
  EXPECT_EQ(primary->Flip(back, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(primary->GetAttachedSurface(nullptr, &attached), DDERR_INVALIDPARAMS);
  EXPECT_EQ(cleared(attached, pic->GetAttachedSurface(&back_caps, &attached)), DDERR_NOTFOUND);
  EXPECT_EQ(primary->GetAttachedSurface(&no_caps, &attached), DDERR_NOTFOUND);
  EXPECT_EQ(pic->QueryInterface(IID_IDirectDraw7, nullptr), E_POINTER);
  for (const GUID& iid : {kIidSurface7, kIidUnknown}) {
    EXPECT_EQ(pic->QueryInterface(iid, &unknown), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(unknown)->Release(), 1u);
  }
  EXPECT_EQ(pic->QueryInterface(IID_IDirectDraw7, &unknown), E_NOINTERFACE);
  EXPECT_EQ(DirectDrawCreateEx(nullptr, nullptr, IID_IDirectDraw7, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(cleared(other, DirectDrawCreateEx(&device, &other, IID_IDirectDraw7, nullptr)),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(dd->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(dd->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
            DDERR_INVALIDPARAMS);
  for (const DWORD bits : {24, 8}) EXPECT_EQ(dd->SetDisplayMode(1024, 768, bits, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(dd->CreateSurface(&primary_desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(cleared(made, dd->CreateSurface(&primary_desc, &made, nullptr)),
            DDERR_PRIMARYSURFACEALREADYEXISTS);
  EXPECT_EQ(dd->CreateSurface(&both, &made, nullptr), DDERR_INVALIDCAPS);
  EXPECT_EQ(hops_test::read_surface(pic).pixels, before.pixels) << "a refused blit drew";
}

// Whatever the description held, Lock leaves only the surface's size,
// pitch, pixels, caps, format and key, and the back buffer count on the
// primary alone. A surface made without a format has the display's.
TEST(DDraw, LockDescribesTheSurface) {
  for (const int bits : {32, 16}) {
    hops_test::TestDisplay display(static_cast<DWORD>(bits));
    IDirectDrawSurface7* const keyed = display.plain(5, 2);
    DDCOLORKEY key{0x1234, 0x5678};
    ASSERT_EQ(keyed->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &key), DD_OK);
    const DWORD chain = DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    const std::tuple<IDirectDrawSurface7*, int, int, DWORD, DWORD> rows[] = {
        {keyed, 5, 2, DDSD_CKSRCBLT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY},
        {display.primary(), 1024, 768, DDSD_BACKBUFFERCOUNT,
         DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | chain},
        {display.back(), 1024, 768, 0, DDSCAPS_BACKBUFFER | chain}};
    for (const auto& [surface, width, height, flags, caps] : rows) {
      DDSURFACEDESC2 got, expected = pt::plain_surface_description(width, height, bits, 0);
      std::memset(&got, 0xCD, sizeof(got));
      got.dwSize = sizeof(got);
      ASSERT_EQ(surface->Lock(nullptr, &got, DDLOCK_WAIT, nullptr), DD_OK);
      ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
      expected.dwFlags |= DDSD_PITCH | DDSD_LPSURFACE | flags;
      expected.lPitch = got.lPitch;
      expected.lpSurface = got.lpSurface;
      expected.ddsCaps.dwCaps = caps;
      expected.dwBackBufferCount = (flags & DDSD_BACKBUFFERCOUNT) != 0 ? 1 : 0;
      if ((flags & DDSD_CKSRCBLT) != 0) expected.ddckCKSrcBlt = key;
      EXPECT_EQ(std::memcmp(&got, &expected, sizeof(got)), 0) << bits << " bits, " << width << " wide";
    }
  }
}

// A surface holds its DirectDraw object and takes its device context along
// when it goes; the back buffer outlives its primary while referenced.
TEST(DDraw, ReferencesCountUpAndDownAndTheLastReleaseFrees) {
  IDirectDrawSurface7* back = nullptr;
  {
    hops_test::TestDisplay display;
    IDirectDrawSurface7* picture = nullptr;
    DDSURFACEDESC2 ddsd = pt::plain_surface_description(8, 8, 32, DDSCAPS_SYSTEMMEMORY);
    ASSERT_EQ(display.dd()->CreateSurface(&ddsd, &picture, nullptr), DD_OK);
    HDC dc = nullptr;
    // Live objects: DirectDraw, both pages and the picture; DirectDraw's
    // references: the display's, its pages', the picture's and one more.
    // Then the picture goes, and its device context with it.
    const std::vector<std::int64_t> trace{
        pt::live_objects(),     picture->AddRef(),       picture->Release(),
        display.dd()->AddRef(), display.dd()->Release(), picture->GetDC(&dc),
        picture->Release(),     SetBkMode(dc, OPAQUE),   pt::live_objects()};
    EXPECT_EQ(trace, (std::vector<std::int64_t>{4, 2, 1, 5, 4, DD_OK, 0, 0, 3}));
    back = display.back();
    back->AddRef();
  }
  // Left: the back buffer and its DirectDraw object.
  const std::vector<std::int64_t> trace{pt::live_objects(), back->Release(), pt::live_objects()};
  EXPECT_EQ(trace, (std::vector<std::int64_t>{2, 0, 0}));
}

class BltReference : public ::testing::TestWithParam<int> {};

// A stretch too big to keep a copy of is drawn straight from the picture,
// the smaller ones through copies the picture keeps of each size: either way
// destination pixel (x, y) takes source pixel (x * sw / dw, y * sh / dh),
// the ratios in 16.16 fixed point and truncated, unless the key hides it.
// Parts of pictures are the surface fuzzer's. Each stretch is drawn on a
// black page.
TEST_P(BltReference, KeyedStretchesMatchThePlainLoop) {
  const int bits = GetParam();
  constexpr int kWidth = 1100, kHeight = 1000, kSourceWidth = 40, kSourceHeight = 30;
  hops_test::TestDisplay display(static_cast<DWORD>(bits), kWidth, kHeight);
  IDirectDrawSurface7* const source = display.plain(kSourceWidth, kSourceHeight);
  DDCOLORKEY key = bits == 32 ? DDCOLORKEY{0x00200040, 0x00E0C0E0} : DDCOLORKEY{0x2004, 0xE618};
  const DWORD low = key.dwColorSpaceLowValue, high = key.dwColorSpaceHighValue;
  // Runs of the key's colour (with a top byte of their own) among random
  // pixels, of which the range hides many too.
  std::mt19937 random(static_cast<std::uint32_t>(bits));
  std::vector<std::uint32_t> picture(kSourceWidth * kSourceHeight);
  bool hide = false;
  for (std::uint32_t& pixel : picture) {
    hide = random() % 6 == 0 ? !hide : hide;
    const std::uint32_t any = static_cast<std::uint32_t>(random()) & (bits == 32 ? 0xFFFFFFFFu : 0xFFFFu);
    pixel = hide ? low | (any & 0xFF000000u) : any;
  }
  hops_test::paint_surface(source, [&](int x, int y) { return picture[y * kSourceWidth + x]; });
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &key), DD_OK);
  // A pixel is hidden when each of its channels lies between the key's; the
  // top byte of a 32-bit pixel is not looked at.
  const DDPIXELFORMAT f = pt::plain_surface_description(1, 1, bits, 0).ddpfPixelFormat;
  const auto hidden = [&](std::uint32_t pixel) {
    const auto within = [&](DWORD c) { return (low & c) <= (pixel & c) && (pixel & c) <= (high & c); };
    return within(f.dwRBitMask) && within(f.dwGBitMask) && within(f.dwBBitMask);
  };

  // The kept copies differ from each other in their width alone, then in their height alone.
  for (const auto& [width, height] : {std::pair{kWidth, kHeight}, {50, 40}, {60, 40}, {60, 45}}) {
    display.fill(0);
    RECT to{0, 0, width, height};
    ASSERT_EQ(display.back()->Blt(&to, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    std::vector<std::uint32_t> model(static_cast<std::size_t>(kWidth) * kHeight, 0);
    const std::int64_t x_step = (std::int64_t{kSourceWidth} << 16) / width;
    const std::int64_t y_step = (std::int64_t{kSourceHeight} << 16) / height;
    for (std::int64_t y = 0; y < height; ++y)
      for (std::int64_t x = 0; x < width; ++x) {
        const std::uint32_t pixel =
            picture[static_cast<std::size_t>(((y * y_step) >> 16) * kSourceWidth + ((x * x_step) >> 16))];
        if (!hidden(pixel)) model[static_cast<std::size_t>(y * kWidth + x)] = pixel;
      }
    EXPECT_TRUE(hops_test::read_pixels(pt::surface_view(display.back())).pixels == model)
        << width << "x" << height;
  }
}

INSTANTIATE_TEST_SUITE_P(Bits, BltReference, ::testing::Values(32, 16), ::testing::PrintToStringParamName());

}  // namespace
