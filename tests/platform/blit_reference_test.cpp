// Blt through IDirectDrawSurface7 against a plain loop written here, on 32-
// and 16-bit surfaces: stretches past what a source keeps copies of, and
// frame after frame drawn as the game draws them. Short sequences of every
// surface operation are the surface fuzzer's (fuzz/surface_ops.cpp).
#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

struct Key {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

// A surface and the pixels this test expects it to hold, row by row
// (16-bit pixels in the low half).
struct Picture {
  IDirectDrawSurface7* surface = nullptr;
  int width = 0;
  int height = 0;
  int bits = 32;
  std::vector<std::uint32_t> pixels;

  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

IDirectDraw7* MakeDirectDraw() {
  IDirectDraw7* dd = nullptr;
  EXPECT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
  EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  return dd;
}

Picture MakePicture(IDirectDraw7* dd, int width, int height, int bits) {
  DDSURFACEDESC2 ddsd =
      platform::testing::plain_surface_description(width, height, bits, DDSCAPS_SYSTEMMEMORY);
  Picture picture;
  EXPECT_EQ(dd->CreateSurface(&ddsd, &picture.surface, nullptr), DD_OK);
  picture.width = width;
  picture.height = height;
  picture.bits = bits;
  picture.pixels.assign(static_cast<std::size_t>(width) * height, 0);
  return picture;
}

// Writes every pixel of the picture into its surface through Lock.
void Store(const Picture& picture) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ASSERT_EQ(picture.surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
  const std::size_t bytes = static_cast<std::size_t>(picture.bits / 8);
  for (int y = 0; y < picture.height; ++y) {
    auto* row = static_cast<std::uint8_t*>(ddsd.lpSurface) + static_cast<std::ptrdiff_t>(y) * ddsd.lPitch;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t value = picture.at(x, y);
      std::memcpy(row + x * bytes, &value, bytes);
    }
  }
  ASSERT_EQ(picture.surface->Unlock(nullptr), DD_OK);
}

std::vector<std::uint32_t> Load(const Picture& picture) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  std::vector<std::uint32_t> pixels(picture.pixels.size());
  EXPECT_EQ(picture.surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr), DD_OK);
  const std::size_t bytes = static_cast<std::size_t>(picture.bits / 8);
  for (int y = 0; y < picture.height; ++y) {
    const auto* row =
        static_cast<const std::uint8_t*>(ddsd.lpSurface) + static_cast<std::ptrdiff_t>(y) * ddsd.lPitch;
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t value = 0;
      std::memcpy(&value, row + x * bytes, bytes);
      pixels[static_cast<std::size_t>(y) * picture.width + x] = value;
    }
  }
  EXPECT_EQ(picture.surface->Unlock(nullptr), DD_OK);
  return pixels;
}

::testing::AssertionResult Holds(const Picture& picture) {
  const std::vector<std::uint32_t> actual = Load(picture);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t got = actual[static_cast<std::size_t>(y) * picture.width + x];
      if (got != picture.at(x, y)) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << got
                                             << ", expected 0x" << picture.at(x, y);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

void SetKey(const Picture& picture, const Key& key) {
  DDCOLORKEY colour_key{key.low, key.high};
  const DWORD flags = key.low == key.high ? DDCKEY_SRCBLT : DDCKEY_SRCBLT | DDCKEY_COLORSPACE;
  ASSERT_EQ(picture.surface->SetColorKey(flags, &colour_key), DD_OK);
}

// The channels of a pixel as (shift, width) pairs, blue first.
struct Channel {
  int shift;
  int width;
};
const Channel kChannels32[3] = {{0, 8}, {8, 8}, {16, 8}};
const Channel kChannels16[3] = {{0, 5}, {5, 6}, {11, 5}};

bool Hidden(std::uint32_t pixel, const Key& key, int bits) {
  for (const Channel& channel : bits == 32 ? kChannels32 : kChannels16) {
    const std::uint32_t mask = (1u << channel.width) - 1;
    const std::uint32_t value = (pixel >> channel.shift) & mask;
    if (value < ((key.low >> channel.shift) & mask) || value > ((key.high >> channel.shift) & mask))
      return false;
  }
  return true;
}

// Blt as DirectDraw's software blitter defines it: destination pixel
// (x, y) of the rectangle takes source pixel (x * sw / dw, y * sh / dh) of
// its rectangle, the ratios in 16.16 fixed point and truncated.
void ReferenceBlt(Picture& dst, const RECT& to, const Picture& src, const RECT& from, const Key* key) {
  const std::int64_t to_width = to.right - to.left, to_height = to.bottom - to.top;
  const std::int64_t x_ratio = (static_cast<std::int64_t>(from.right - from.left) << 16) / to_width;
  const std::int64_t y_ratio = (static_cast<std::int64_t>(from.bottom - from.top) << 16) / to_height;
  for (std::int64_t y = 0; y < to_height; ++y) {
    for (std::int64_t x = 0; x < to_width; ++x) {
      const std::uint32_t pixel = src.at(from.left + static_cast<int>((x * x_ratio) >> 16),
                                         from.top + static_cast<int>((y * y_ratio) >> 16));
      if (key == nullptr || !Hidden(pixel, *key, src.bits)) {
        dst.at(to.left + static_cast<int>(x), to.top + static_cast<int>(y)) = pixel;
      }
    }
  }
}

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  // 0 to n - 1.
  int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }
  int between(int low, int high) { return low + below(high - low + 1); }
  bool chance(int percent) { return below(100) < percent; }
  std::uint32_t bits() { return engine_(); }

 private:
  std::mt19937 engine_;
};

Key RandomKey(Random& random, int bits, bool range) {
  Key key;
  key.low = random.bits() & (bits == 32 ? 0xFFFFFFFFu : 0xFFFFu);
  key.high = key.low;
  if (!range) return key;
  for (const Channel& channel : bits == 32 ? kChannels32 : kChannels16) {
    const std::uint32_t mask = (1u << channel.width) - 1;
    const std::uint32_t low = (key.low >> channel.shift) & mask;
    const std::uint32_t high =
        low + static_cast<std::uint32_t>(random.below(static_cast<int>(mask - low) + 1));
    key.high = (key.high & ~(mask << channel.shift)) | (high << channel.shift);
  }
  return key;
}

// A pixel the key leaves out; 32-bit pixels get an unused top byte of
// their own, which the key must not look at.
std::uint32_t HiddenPixel(Random& random, const Key& key, int bits) {
  std::uint32_t pixel = bits == 32 ? random.bits() & 0xFF000000u : 0;
  for (const Channel& channel : bits == 32 ? kChannels32 : kChannels16) {
    const std::uint32_t mask = (1u << channel.width) - 1;
    const int low = static_cast<int>((key.low >> channel.shift) & mask);
    const int high = static_cast<int>((key.high >> channel.shift) & mask);
    pixel |= static_cast<std::uint32_t>(random.between(low, high)) << channel.shift;
  }
  return pixel;
}

// Rows of hidden and drawn stretches of random lengths, some as long as
// the row, some a pixel: the shapes sprites have at their edges and middles.
void FillRandom(Picture& picture, Random& random, const Key& key) {
  const std::uint32_t mask = picture.bits == 32 ? 0xFFFFFFFFu : 0xFFFFu;
  for (int y = 0; y < picture.height; ++y) {
    int x = 0;
    bool hidden = random.chance(50);
    while (x < picture.width) {
      const int length = random.chance(20) ? picture.width : random.between(1, 24);
      for (int end = std::min(picture.width, x + length); x < end; ++x) {
        picture.at(x, y) = hidden ? HiddenPixel(random, key, picture.bits) : random.bits() & mask;
      }
      hidden = !hidden;
    }
  }
}

// Every pixel one the key leaves in.
void FillDrawn(Picture& picture, Random& random, const Key& key) {
  const std::uint32_t mask = picture.bits == 32 ? 0xFFFFFFFFu : 0xFFFFu;
  for (std::uint32_t& pixel : picture.pixels) {
    do {
      pixel = random.bits() & mask;
    } while (Hidden(pixel, key, picture.bits));
  }
}

// A sprite's shape: one drawn stretch a row, with hidden pixels at one end
// or both.
void FillOneRunARow(Picture& picture, Random& random, const Key& key) {
  FillDrawn(picture, random, key);
  for (int y = 0; y < picture.height; ++y) {
    const int start = random.below(picture.width / 2 + 1);
    const int end =
        start == 0 ? random.between(1, picture.width - 1) : random.between(start + 1, picture.width);
    for (int x = 0; x < picture.width; ++x) {
      if (x < start || x >= end) picture.at(x, y) = HiddenPixel(random, key, picture.bits);
    }
  }
}

RECT RandomRect(Random& random, int width, int height) {
  RECT rect;
  rect.left = random.below(width);
  rect.top = random.below(height);
  rect.right = random.between(rect.left + 1, width);
  rect.bottom = random.between(rect.top + 1, height);
  return rect;
}

class BltReference : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { dd_ = MakeDirectDraw(); }
  void TearDown() override {
    for (Picture* picture : pictures_) picture->surface->Release();
    dd_->Release();
  }

  Picture& Make(int width, int height) {
    owned_.push_back(MakePicture(dd_, width, height, GetParam()));
    pictures_.push_back(&owned_.back());
    return owned_.back();
  }

  // A picture of random runs, stored in its surface and keyed with key.
  Picture& MakeKeyed(Random& random, int width, int height, const Key& key) {
    Picture& picture = Make(width, height);
    FillRandom(picture, random, key);
    Store(picture);
    SetKey(picture, key);
    return picture;
  }

  // Blits src's rectangle `from` (null: all of it) to `to` of dst, keyed
  // with key when not null, both on the surfaces and in the pictures.
  void Blt(Picture& dst, RECT to, const Picture& src, const RECT* from, const Key* key) {
    const RECT whole{0, 0, src.width, src.height};
    RECT from_copy = from != nullptr ? *from : whole;
    const DWORD flags = DDBLT_WAIT | (key != nullptr ? DDBLT_KEYSRC : 0);
    ASSERT_EQ(dst.surface->Blt(&to, src.surface, from != nullptr ? &from_copy : nullptr, flags, nullptr),
              DD_OK);
    ReferenceBlt(dst, to, src, from_copy, key);
  }

  IDirectDraw7* dd_ = nullptr;
  std::deque<Picture> owned_;
  std::vector<Picture*> pictures_;
};

// More sizes than a source keeps stretched copies of, then the first ones again.
TEST_P(BltReference, ManySizesOfOnePicture) {
  Random random(99u + static_cast<std::uint32_t>(GetParam()));
  Picture& screen = Make(200, 200);
  const Key key = RandomKey(random, GetParam(), true);
  Picture& source = MakeKeyed(random, 40, 30, key);
  for (int pass = 0; pass < 2; ++pass) {
    for (int size = 10; size < 130; size += 9) {
      Blt(screen, RECT{5, 7, 5 + size, 7 + size / 2}, source, nullptr, &key);
      ASSERT_TRUE(Holds(screen)) << "pass " << pass << ", size " << size;
    }
  }
}

// A stretch too big to keep a copy of is drawn straight from the picture.
TEST_P(BltReference, StretchLargerThanAnyKeptCopy) {
  Random random(31u + static_cast<std::uint32_t>(GetParam()));
  Picture& screen = Make(1100, 1000);
  const Key key = RandomKey(random, GetParam(), true);
  Picture& source = MakeKeyed(random, 50, 47, key);
  for (int pass = 0; pass < 2; ++pass) {
    Blt(screen, RECT{0, 0, 1100, 1000}, source, nullptr, &key);
    ASSERT_TRUE(Holds(screen));
  }
}

INSTANTIATE_TEST_SUITE_P(Bits, BltReference, ::testing::Values(32, 16),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param);
                         });

// An exclusive display of width x height at bits, with its flipping chain;
// both pages black in their pictures.
struct FlippingChain {
  IDirectDraw7* dd = nullptr;
  Picture front;
  Picture back;
};

void MakeFlippingChain(FlippingChain& chain, int width, int height, int bits) {
  hops_test::make_game_window();
  ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&chain.dd), IID_IDirectDraw7, nullptr),
            DD_OK);
  ASSERT_EQ(chain.dd->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(chain.dd->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                     static_cast<DWORD>(bits), 0, 0),
            DD_OK);
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  ddsd.dwBackBufferCount = 1;
  ASSERT_EQ(chain.dd->CreateSurface(&ddsd, &chain.front.surface, nullptr), DD_OK);
  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  ASSERT_EQ(chain.front.surface->GetAttachedSurface(&caps, &chain.back.surface), DD_OK);
  for (Picture* page : {&chain.front, &chain.back}) {
    page->width = width;
    page->height = height;
    page->bits = bits;
    page->pixels.assign(static_cast<std::size_t>(width) * height, 0);
  }
}

// Frame after frame on a flipping chain, as the game draws: a sky over the
// whole back buffer, a keyed field over it, sprites same size and stretched,
// text through a device context, now and then pixels written through Lock,
// the sky or the field changed, frames without a field, and a flip. After
// every frame both pages hold exactly what the reference drew, whatever was
// left of earlier frames on the page being drawn.
class FrameAfterFrame : public ::testing::TestWithParam<int> {};

TEST_P(FrameAfterFrame, PagesHoldWhatWasDrawn) {
  const int bits = GetParam();
  constexpr int kWidth = 320;
  constexpr int kHeight = 240;
  FlippingChain chain;
  ASSERT_NO_FATAL_FAILURE(MakeFlippingChain(chain, kWidth, kHeight, bits));
  IDirectDraw7* const dd = chain.dd;
  Picture& front = chain.front;
  Picture& back = chain.back;

  Random random(777u + static_cast<std::uint32_t>(bits));
  const Key key = bits == 32 ? Key{0x00FF00FF, 0x00FF00FF} : Key{0xF81F, 0xF81F};
  Picture sky = MakePicture(dd, kWidth, kHeight, bits);
  Picture field = MakePicture(dd, kWidth, kHeight, bits);
  FillDrawn(sky, random, key);
  FillRandom(field, random, key);
  std::vector<Picture> sprites;
  for (const auto& [width, height] : {std::pair{91, 150}, std::pair{16, 32}, std::pair{60, 60}}) {
    sprites.push_back(MakePicture(dd, width, height, bits));
    FillOneRunARow(sprites.back(), random, key);
  }
  for (Picture* picture : {&sky, &field}) {
    Store(*picture);
    SetKey(*picture, key);
  }
  for (Picture& sprite : sprites) {
    Store(sprite);
    SetKey(sprite, key);
  }
  // Pages are read through a copy, so that reading them changes nothing
  // of what they keep.
  Picture scratch = MakePicture(dd, kWidth, kHeight, bits);
  const RECT whole{0, 0, kWidth, kHeight};
  const auto holds = [&](const Picture& page) {
    RECT to = whole;
    EXPECT_EQ(scratch.surface->Blt(&to, page.surface, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    scratch.pixels = page.pixels;
    return Holds(scratch);
  };
  const auto blt = [&](Picture& dst, RECT to, const Picture& src, const RECT& from, const Key* with) {
    RECT from_copy = from;
    ASSERT_EQ(dst.surface->Blt(&to, src.surface, &from_copy, DDBLT_WAIT | (with ? DDBLT_KEYSRC : 0), nullptr),
              DD_OK);
    ReferenceBlt(dst, to, src, from, with);
  };

  for (int frame = 0; frame < 300; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    if (random.chance(4)) {
      for (int i = 0; i < 30; ++i) sky.at(random.below(kWidth), random.below(kHeight)) = 0;
      FillDrawn(sky, random, key);
      Store(sky);
    }
    if (random.chance(4)) {
      field.at(random.below(kWidth), random.below(kHeight)) = HiddenPixel(random, key, bits);
      Store(field);
    }
    if (random.chance(3)) SetKey(field, key);
    if (random.chance(92)) blt(back, whole, sky, whole, random.chance(90) ? &key : nullptr);
    if (random.chance(88)) blt(back, whole, field, whole, &key);

    for (int count = random.below(14); count > 0; --count) {
      const Picture& sprite =
          sprites[static_cast<std::size_t>(random.below(static_cast<int>(sprites.size())))];
      const RECT from{0, 0, sprite.width, sprite.height};
      RECT to = RandomRect(random, kWidth, kHeight);
      if (random.chance(60)) {
        to.left = random.below(kWidth - sprite.width + 1);
        to.top = random.below(kHeight - sprite.height + 1);
        to.right = to.left + sprite.width;
        to.bottom = to.top + sprite.height;
      }
      blt(back, to, sprite, from, random.chance(90) ? &key : nullptr);
    }
    if (random.chance(8))
      blt(back, RandomRect(random, kWidth, kHeight), field, RandomRect(random, kWidth, kHeight), nullptr);

    if (random.chance(60)) {
      // What text draws comes from the font; the page must change only
      // around it, and the next frames must not leave any of it behind.
      const int x = random.between(-30, kWidth - 10);
      const int y = random.between(-20, kHeight - 5);
      HDC dc = nullptr;
      ASSERT_EQ(back.surface->GetDC(&dc), DD_OK);
      SetBkMode(dc, random.chance(70) ? TRANSPARENT : OPAQUE);
      SetTextColor(dc, RGB(255, 0, 0));
      const char text[] = "57\xC7\xC1\xB7\xB9\xC0\xD3";  // "57프레임"
      TextOutA(dc, x, y, text, static_cast<int>(sizeof(text) - 1));
      ASSERT_EQ(back.surface->ReleaseDC(dc), DD_OK);
      RECT to = whole;
      ASSERT_EQ(scratch.surface->Blt(&to, back.surface, nullptr, DDBLT_WAIT, nullptr), DD_OK);
      const std::vector<std::uint32_t> drawn = Load(scratch);
      for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
          const std::uint32_t now = drawn[static_cast<std::size_t>(row) * kWidth + column];
          if (column >= x && column < x + 200 && row >= y && row < y + 40) {
            back.at(column, row) = now;
          } else {
            ASSERT_EQ(now, back.at(column, row)) << "text reached (" << column << ", " << row << ")";
          }
        }
      }
    }
    if (random.chance(5)) {
      for (int i = 0; i < 50; ++i)
        back.at(random.below(kWidth), random.below(kHeight)) = random.bits() & 0xFFFFu;
      Store(back);
    }

    if (random.chance(90)) {
      ASSERT_EQ(front.surface->Flip(nullptr, DDFLIP_WAIT), DD_OK);
      std::swap(front.pixels, back.pixels);
    }
    ASSERT_TRUE(holds(back));
    ASSERT_TRUE(holds(front));
  }

  for (Picture& sprite : sprites) sprite.surface->Release();
  for (Picture* picture : {&scratch, &field, &sky, &back, &front}) picture->surface->Release();
  dd->Release();
}

INSTANTIATE_TEST_SUITE_P(Depths, FrameAfterFrame, ::testing::Values(32, 16),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param);
                         });

}  // namespace
