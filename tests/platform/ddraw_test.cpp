// DirectDraw on our own memory, through the COM interfaces the game calls.
// What blits and keys draw, with every change between them, is the surface
// fuzzer's (fuzz/surface_ops.cpp); here the rules a sequence of valid
// operations does not reach.
#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "testing/testing.h"

namespace {

namespace pt = platform::testing;

using PixelFn = std::function<std::uint32_t(int x, int y)>;

class DDrawTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(32); }
  void TearDown() override { Close(); }

  void Open(DWORD bits) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "DDraw_Test";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, "DDraw_Test", "ddraw", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(hwnd_, nullptr);
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd_), IID_IDirectDraw7, nullptr), DD_OK);
    ASSERT_EQ(dd_->SetCooperativeLevel(hwnd_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(1024, 768, bits, 0, 0), DD_OK);
    bytes_ = static_cast<int>(bits / 8);
    screen_ = Make(1024, 768, [](int, int) { return 0x00123456u & 0xFFFFu; });
  }

  void Close() {
    for (IDirectDrawSurface7* surface : made_) surface->Release();
    made_.clear();
    if (dd_ != nullptr) dd_->Release();
    dd_ = nullptr;
    EXPECT_EQ(pt::live_objects(), 0);
  }

  // A plain surface in the display's format, filled from fn.
  IDirectDrawSurface7* Make(int width, int height, const PixelFn& fn) {
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    ddsd.dwWidth = static_cast<DWORD>(width);
    ddsd.dwHeight = static_cast<DWORD>(height);
    IDirectDrawSurface7* surface = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&ddsd, &surface, nullptr), DD_OK);
    if (surface == nullptr) return nullptr;
    made_.push_back(surface);
    Paint(surface, fn);
    return surface;
  }

  void Paint(IDirectDrawSurface7* surface, const PixelFn& fn) {
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ASSERT_EQ(surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < ddsd.dwHeight; y++) {
      for (DWORD x = 0; x < ddsd.dwWidth; x++) {
        const std::uint32_t value = fn(static_cast<int>(x), static_cast<int>(y));
        std::memcpy(static_cast<std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch + x * bytes_, &value,
                    static_cast<std::size_t>(bytes_));
      }
    }
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  }

  std::vector<std::uint32_t> Read(IDirectDrawSurface7* surface, int* width = nullptr) {
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    std::vector<std::uint32_t> pixels;
    EXPECT_EQ(surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < ddsd.dwHeight; y++) {
      for (DWORD x = 0; x < ddsd.dwWidth; x++) {
        std::uint32_t value = 0;
        std::memcpy(&value, static_cast<std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch + x * bytes_,
                    static_cast<std::size_t>(bytes_));
        pixels.push_back(value);
      }
    }
    surface->Unlock(nullptr);
    if (width != nullptr) *width = static_cast<int>(ddsd.dwWidth);
    return pixels;
  }

  std::uint32_t At(IDirectDrawSurface7* surface, int x, int y) {
    int width = 0;
    const std::vector<std::uint32_t> pixels = Read(surface, &width);
    return pixels[static_cast<std::size_t>(y) * width + x];
  }

  static void Key(IDirectDrawSurface7* surface, std::uint32_t low, std::uint32_t high, DWORD extra = 0) {
    DDCOLORKEY key{low, high};
    ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | extra, &key), DD_OK);
  }

  HWND hwnd_ = nullptr;
  IDirectDraw7* dd_ = nullptr;
  IDirectDrawSurface7* screen_ = nullptr;
  std::vector<IDirectDrawSurface7*> made_;
  int bytes_ = 4;
};

constexpr DWORD kKeyed = DDBLT_WAIT | DDBLT_KEYSRC;

// --- Destination rectangles without a clipper ---

TEST_F(DDrawTest, ABlitTouchingTheCornerDrawsAndOnePastAnyEdgeIsRefusedWhole) {
  IDirectDrawSurface7* picture = Make(100, 50, [](int x, int y) { return 0x00010000u * (x + 1) + y; });
  const std::vector<std::uint32_t> before = Read(screen_);

  struct Refused {
    RECT rect;
  } refused[] = {
      {{925, 718, 1025, 768}}, {{924, 719, 1024, 769}}, {{-1, 0, 99, 50}},   {{0, -500, 100, -450}},
      {{10, 10, 10, 60}},      {{10, 10, 110, 10}},     {{50, 50, 40, 100}},
  };
  for (Refused& r : refused) {
    EXPECT_EQ(screen_->Blt(&r.rect, picture, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT)
        << r.rect.left << "," << r.rect.top;
  }
  RECT dest{0, 0, 4, 2};
  RECT outside_source{98, 48, 101, 50};
  EXPECT_EQ(screen_->Blt(&dest, picture, &outside_source, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(Read(screen_), before) << "a refused blit changed pixels";

  RECT corner{924, 718, 1024, 768};
  ASSERT_EQ(screen_->Blt(&corner, picture, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(At(screen_, 924, 718), 0x00010000u);
  EXPECT_EQ(At(screen_, 1023, 767), 0x00010000u * 100 + 49);
  EXPECT_EQ(At(screen_, 923, 718), before[718 * 1024 + 923]);
  EXPECT_EQ(At(screen_, 924, 717), before[717 * 1024 + 924]);
}

// --- Stretching ---

TEST_F(DDrawTest, AnUpwardStretchRepeatsSourcePixelsFromTheFirst) {
  IDirectDrawSurface7* picture = Make(3, 2, [](int x, int y) { return 0x00100000u * (1 + x) + y; });
  RECT dest{0, 0, 7, 5};
  ASSERT_EQ(screen_->Blt(&dest, picture, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  const std::vector<std::uint32_t> pixels = Read(screen_);
  // 16.16 steps of 3/7 and 2/5 from source pixel 0.
  const int columns[7] = {0, 0, 0, 1, 1, 2, 2};
  const int rows[5] = {0, 0, 0, 1, 1};
  for (int y = 0; y < 5; y++) {
    for (int x = 0; x < 7; x++) {
      EXPECT_EQ(pixels[static_cast<std::size_t>(y) * 1024 + x], 0x00100000u * (1 + columns[x]) + rows[y])
          << x << "," << y;
    }
  }
}

// --- Lock, pitch and depths ---

TEST_F(DDrawTest, LockGivesTheWholeSurfaceWithRowsAtLeastAsWideAsThePicture) {
  IDirectDrawSurface7* picture = Make(37, 3, [](int, int) { return 0u; });
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ASSERT_EQ(picture->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ddsd.dwWidth, 37u);
  EXPECT_EQ(ddsd.dwHeight, 3u);
  EXPECT_GE(ddsd.lPitch, 37 * 4);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRGBBitCount, 32u);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRBitMask, 0x00FF0000u);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwGBitMask, 0x0000FF00u);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwBBitMask, 0x000000FFu);
  // Locked twice, or blitted while locked: busy.
  DDSURFACEDESC2 again{};
  again.dwSize = sizeof(again);
  EXPECT_EQ(picture->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  RECT dest{0, 0, 37, 3};
  EXPECT_EQ(screen_->Blt(&dest, picture, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(picture->Unlock(nullptr), DD_OK);
  EXPECT_EQ(picture->Unlock(nullptr), DDERR_NOTLOCKED);
  // A description of the wrong size is refused.
  DDSURFACEDESC2 wrong{};
  wrong.dwSize = sizeof(wrong) - 4;
  EXPECT_EQ(picture->Lock(nullptr, &wrong, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DDrawTest, SixteenBitDisplaysMakeFiveSixFiveSurfaces) {
  Close();
  pt::reset();
  Open(16);
  IDirectDrawSurface7* picture = Make(3, 1, [](int x, int) { return x == 1 ? 0xF81Fu : 0x07E0u + x; });
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ASSERT_EQ(picture->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwRBitMask, 0xF800u);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwGBitMask, 0x07E0u);
  EXPECT_EQ(ddsd.ddpfPixelFormat.dwBBitMask, 0x001Fu);
  EXPECT_GE(ddsd.lPitch, 6);
  picture->Unlock(nullptr);
}

// --- The flipping chain ---

class FlipTest : public DDrawTest {
 protected:
  void SetUp() override {
    DDrawTest::SetUp();
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    ddsd.dwBackBufferCount = 1;
    ASSERT_EQ(dd_->CreateSurface(&ddsd, &primary_, nullptr), DD_OK);
    made_.push_back(primary_);
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back_), DD_OK);
    made_.push_back(back_);
  }
  IDirectDrawSurface7* primary_ = nullptr;
  IDirectDrawSurface7* back_ = nullptr;
};

TEST_F(FlipTest, TheTwoPagesExchangeTheirPixelsAndTheScreenShowsTheNewFront) {
  Paint(back_, [](int, int) { return 0x00AA0000u; });
  Paint(primary_, [](int, int) { return 0x000000BBu; });
  ASSERT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(At(primary_, 5, 5), 0x00AA0000u);
  EXPECT_EQ(At(back_, 5, 5), 0x000000BBu);
  EXPECT_EQ(pt::flip_count(), 1);
  EXPECT_EQ(pt::screen().at(1023, 767), 0x00AA0000u);

  Paint(back_, [](int x, int) { return static_cast<std::uint32_t>(x); });
  ASSERT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(pt::flip_count(), 2);
  EXPECT_EQ(pt::screen().at(700, 3), 700u);
  EXPECT_EQ(At(back_, 5, 5), 0x00AA0000u);
  EXPECT_EQ(back_->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
}

// --- Reference counts ---

TEST_F(DDrawTest, ReferencesCountUpAndDownAndTheLastReleaseFreesTheSurface) {
  const int before = pt::live_objects();
  IDirectDrawSurface7* picture = Make(8, 8, [](int, int) { return 0u; });
  made_.pop_back();
  EXPECT_EQ(pt::live_objects(), before + 1);
  EXPECT_EQ(picture->AddRef(), 2u);
  EXPECT_EQ(picture->Release(), 1u);
  // A surface keeps its DirectDraw object alive.
  EXPECT_EQ(dd_->AddRef(), 4u);  // the test's, the screen's and the picture's, and this one
  EXPECT_EQ(dd_->Release(), 3u);
  EXPECT_EQ(picture->Release(), 0u);
  EXPECT_EQ(pt::live_objects(), before);
  EXPECT_EQ(dd_->AddRef(), 3u);
  dd_->Release();
}

TEST_F(FlipTest, TheBackBufferLivesAsLongAsItsPrimaryOrItsOwnReference) {
  const int before = pt::live_objects();
  made_.resize(1);  // the screen only
  EXPECT_EQ(primary_->Release(), 0u);
  // The primary is gone, the attached surface held by the test still works.
  EXPECT_EQ(pt::live_objects(), before - 1);
  EXPECT_EQ(back_->Release(), 0u);
  EXPECT_EQ(pt::live_objects(), before - 2);
}

// --- Fault injection ---

TEST(DDrawFaults, EachStepFailsExactlyWhenAskedWithTheGivenCode) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "DDraw_Faults";
  RegisterClassA(&wc);
  HWND hwnd =
      CreateWindowExA(0, "DDraw_Faults", "f", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);

  IDirectDraw7* dd = nullptr;
  pt::fail_call(pt::Call::DirectDrawCreateEx, 2, DDERR_NODIRECTDRAWHW);
  ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
  dd->Release();
  dd = reinterpret_cast<IDirectDraw7*>(0x1);
  EXPECT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr),
            DDERR_NODIRECTDRAWHW);
  EXPECT_EQ(dd, nullptr);
  EXPECT_EQ(pt::call_count(pt::Call::DirectDrawCreateEx), 2);
  ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr), DD_OK);

  pt::fail_call(pt::Call::SetCooperativeLevel, 1, DDERR_EXCLUSIVEMODEALREADYSET);
  EXPECT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_EXCLUSIVEMODEALREADYSET);
  ASSERT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);

  pt::fail_call(pt::Call::SetDisplayMode, 1, DDERR_UNSUPPORTED);
  EXPECT_EQ(dd->SetDisplayMode(1024, 768, 32, 0, 0), DDERR_UNSUPPORTED);
  ASSERT_EQ(dd->SetDisplayMode(1024, 768, 32, 0, 0), DD_OK);

  DDSURFACEDESC2 chain{};
  chain.dwSize = sizeof(chain);
  chain.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  chain.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
  chain.dwBackBufferCount = 1;
  IDirectDrawSurface7* primary = nullptr;
  pt::fail_call(pt::Call::CreatePrimarySurface, 1, DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(dd->CreateSurface(&chain, &primary, nullptr), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(primary, nullptr);
  ASSERT_EQ(dd->CreateSurface(&chain, &primary, nullptr), DD_OK);

  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface7* back = nullptr;
  pt::fail_call(pt::Call::GetAttachedSurface, 1, DDERR_NOTFOUND);
  EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
  EXPECT_EQ(back, nullptr);
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);

  DDSURFACEDESC2 plain{};
  plain.dwSize = sizeof(plain);
  plain.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  plain.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  plain.dwWidth = 4;
  plain.dwHeight = 4;
  IDirectDrawSurface7* picture = nullptr;
  pt::fail_call(pt::Call::CreateOffscreenSurface, 1, DDERR_OUTOFMEMORY);
  EXPECT_EQ(dd->CreateSurface(&plain, &picture, nullptr), DDERR_OUTOFMEMORY);
  ASSERT_EQ(dd->CreateSurface(&plain, &picture, nullptr), DD_OK);

  DDSURFACEDESC2 lock{};
  lock.dwSize = sizeof(lock);
  pt::fail_call(pt::Call::Lock, 2, DDERR_SURFACELOST);
  ASSERT_EQ(picture->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
  picture->Unlock(nullptr);
  EXPECT_EQ(picture->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(picture->Unlock(nullptr), DDERR_NOTLOCKED) << "a failed lock leaves the surface unlocked";
  EXPECT_EQ(pt::call_count(pt::Call::Lock), 2);

  picture->Release();
  back->Release();
  primary->Release();
  dd->Release();
  EXPECT_EQ(pt::live_objects(), 0);
}

}  // namespace
