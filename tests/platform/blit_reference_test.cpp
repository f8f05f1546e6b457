// Blt through IDirectDrawSurface7 against a plain loop written here: seeded
// random pictures, keys and rectangles, same size and stretched, on 32- and
// 16-bit surfaces. Then blits after the source's pixels or key changed
// (Lock, text through GetDC, a blit onto it, SetColorKey, Flip): what is
// drawn must follow the change, never what the source held before.
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
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ddsd.dwWidth = static_cast<DWORD>(width);
  ddsd.dwHeight = static_cast<DWORD>(height);
  ddsd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  ddsd.ddpfPixelFormat.dwFlags = DDPF_RGB;
  ddsd.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(bits);
  ddsd.ddpfPixelFormat.dwRBitMask = bits == 32 ? 0x00FF0000 : 0xF800;
  ddsd.ddpfPixelFormat.dwGBitMask = bits == 32 ? 0x0000FF00 : 0x07E0;
  ddsd.ddpfPixelFormat.dwBBitMask = bits == 32 ? 0x000000FF : 0x001F;
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

  // Releases the picture's surface and gives it a new one of its size.
  void Remake(Picture& picture) {
    picture.surface->Release();
    picture.surface = MakePicture(dd_, picture.width, picture.height, picture.bits).surface;
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

TEST_P(BltReference, RandomPicturesKeysAndRectangles) {
  Random random(20240611u + static_cast<std::uint32_t>(GetParam()));
  Picture& screen = Make(256, 200);
  FillRandom(screen, random, Key{});
  Store(screen);

  for (int round = 0; round < 60; ++round) {
    Picture& source = Make(random.between(1, 90), random.between(1, 90));
    Key key = RandomKey(random, GetParam(), random.chance(40));
    FillRandom(source, random, key);
    Store(source);
    SetKey(source, key);

    for (int blit = 0; blit < 14; ++blit) {
      SCOPED_TRACE("round " + std::to_string(round) + ", blit " + std::to_string(blit));
      RECT from{0, 0, source.width, source.height};
      const bool part = random.chance(35);
      if (part) from = RandomRect(random, source.width, source.height);
      int width = from.right - from.left;
      int height = from.bottom - from.top;
      if (random.chance(60)) {
        width = random.between(1, std::min(255, width * 5 / 2 + 1));
        height = random.between(1, std::min(199, height * 5 / 2 + 1));
      }
      const int left = random.between(0, screen.width - width);
      const int top = random.between(0, screen.height - height);
      const bool keyed = random.chance(75);
      Blt(screen, RECT{left, top, left + width, top + height}, source, part ? &from : nullptr,
          keyed ? &key : nullptr);
      ASSERT_TRUE(Holds(screen));

      // Now and then the source changes between two of its blits.
      const int change = random.below(10);
      if (change == 0) {
        FillRandom(source, random, key);
        Store(source);
      } else if (change == 1) {
        key = RandomKey(random, GetParam(), random.chance(40));
        SetKey(source, key);
      } else if (change == 2) {
        const RECT onto = RandomRect(random, source.width, source.height);
        const RECT out_of{onto.left, onto.top, onto.right, onto.bottom};
        Blt(source, onto, screen, &out_of, nullptr);
      }
    }
  }
}

// The sizes the game's balls take, down from and up to the picture's.
TEST_P(BltReference, BallSizesAgainAndAgain) {
  Random random(7u + static_cast<std::uint32_t>(GetParam()));
  Picture& screen = Make(400, 320);
  Picture& ball = Make(300, 300);
  Picture& small = Make(37, 37);
  const Key key = RandomKey(random, GetParam(), false);
  FillRandom(ball, random, key);
  FillRandom(small, random, key);
  Store(ball);
  Store(small);
  SetKey(ball, key);
  SetKey(small, key);

  for (int pass = 0; pass < 3; ++pass) {
    for (const int size : {300, 150, 74, 36, 75, 149, 18}) {
      SCOPED_TRACE("pass " + std::to_string(pass) + ", size " + std::to_string(size));
      const int left = random.between(0, screen.width - size);
      const int top = random.between(0, screen.height - size);
      Blt(screen, RECT{left, top, left + size, top + size}, ball, nullptr, &key);
      ASSERT_TRUE(Holds(screen));
    }
    Blt(screen, RECT{10, 20, 85, 95}, small, nullptr, &key);
    ASSERT_TRUE(Holds(screen));
  }
}

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

// Overlapping rectangles of one surface read the pixels as they were.
TEST_P(BltReference, WithinOneSurface) {
  Random random(5u + static_cast<std::uint32_t>(GetParam()));
  Picture& screen = Make(120, 90);
  const Key key = RandomKey(random, GetParam(), false);
  FillRandom(screen, random, key);
  Store(screen);
  SetKey(screen, key);
  for (int blit = 0; blit < 20; ++blit) {
    const RECT from = RandomRect(random, screen.width, screen.height);
    const int width = random.chance(50) ? from.right - from.left : random.between(1, screen.width);
    const int height = random.chance(50) ? from.bottom - from.top : random.between(1, screen.height);
    const int left = random.between(0, screen.width - width);
    const int top = random.between(0, screen.height - height);
    const Picture before = screen;
    const bool keyed = random.chance(50);
    RECT to{left, top, left + width, top + height};
    RECT from_copy = from;
    ASSERT_EQ(screen.surface->Blt(&to, screen.surface, &from_copy, DDBLT_WAIT | (keyed ? DDBLT_KEYSRC : 0),
                                  nullptr),
              DD_OK);
    ReferenceBlt(screen, to, before, from, keyed ? &key : nullptr);
    ASSERT_TRUE(Holds(screen)) << "blit " << blit;
  }
}

// A blit that covers a whole surface with all of another's pixels is made
// late, when its pixels are first needed. A random sequence over surfaces
// of one size reads them back only now and then, so that such copies stay
// pending across every kind of change on either side.
TEST_P(BltReference, WholeSurfaceCopiesLeftForLater) {
  Random random(424242u + static_cast<std::uint32_t>(GetParam()));
  constexpr int kCount = 4;
  std::vector<Picture*> pool;
  std::vector<Key> keys;
  const RECT whole{0, 0, 48, 32};
  for (int i = 0; i < kCount; ++i) {
    Picture& picture = Make(48, 32);
    keys.push_back(RandomKey(random, GetParam(), random.chance(30)));
    if (random.chance(50)) {
      FillDrawn(picture, random, keys.back());
    } else {
      FillRandom(picture, random, keys.back());
    }
    Store(picture);
    SetKey(picture, keys.back());
    pool.push_back(&picture);
  }

  for (int step = 0; step < 800; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const int op = random.below(100);
    const int from = random.below(kCount);
    const int onto = random.below(kCount);
    Picture& source = *pool[static_cast<std::size_t>(from)];
    Picture& target = *pool[static_cast<std::size_t>(onto)];
    if (op < 30) {
      if (from != onto) Blt(target, whole, source, nullptr, nullptr);
    } else if (op < 50) {
      if (from != onto) Blt(target, whole, source, nullptr, &keys[static_cast<std::size_t>(from)]);
    } else if (op < 62) {
      if (from == onto) continue;
      const RECT part = RandomRect(random, 48, 32);
      const RECT to = random.chance(50) ? part : RandomRect(random, 48, 32);
      Blt(target, to, source, &part, random.chance(70) ? &keys[static_cast<std::size_t>(from)] : nullptr);
    } else if (op < 68) {
      for (int i = 0; i < 20; ++i) source.at(random.below(48), random.below(32)) = random.bits() & 0xFFFFu;
      Store(source);
    } else if (op < 74) {
      keys[static_cast<std::size_t>(from)] = RandomKey(random, GetParam(), random.chance(40));
      SetKey(source, keys[static_cast<std::size_t>(from)]);
    } else if (op < 80) {
      Remake(source);
      FillRandom(source, random, keys[static_cast<std::size_t>(from)]);
      Store(source);
      SetKey(source, keys[static_cast<std::size_t>(from)]);
    } else if (op < 84) {
      HDC hdc = nullptr;
      ASSERT_EQ(source.surface->GetDC(&hdc), DD_OK);
      SetBkMode(hdc, OPAQUE);
      const int x = random.below(40);
      const int y = random.below(24);
      ASSERT_TRUE(TextOutA(hdc, x, y, "Hi", 2));
      ASSERT_EQ(source.surface->ReleaseDC(hdc), DD_OK);
      // Glyphs are not modelled here: the text must have changed pixels,
      // and only near where it was drawn.
      const std::vector<std::uint32_t> before = source.pixels;
      source.pixels = Load(source);
      int changed = 0;
      for (int py = 0; py < 32; ++py) {
        for (int px = 0; px < 48; ++px) {
          const std::size_t i = static_cast<std::size_t>(py) * 48 + px;
          if (before[i] == source.pixels[i]) continue;
          ++changed;
          ASSERT_TRUE(px >= x && px < x + 32 && py >= y && py < y + 24)
              << "pixel (" << px << ", " << py << ")";
        }
      }
      ASSERT_GT(changed, 0);
    } else if (op < 90) {
      if (random.chance(50)) {
        FillDrawn(source, random, keys[static_cast<std::size_t>(from)]);
      } else {
        FillOneRunARow(source, random, keys[static_cast<std::size_t>(from)]);
      }
      Store(source);
    } else {
      for (const Picture* picture : pool) ASSERT_TRUE(Holds(*picture));
    }
  }
  for (const Picture* picture : pool) ASSERT_TRUE(Holds(*picture));
}

INSTANTIATE_TEST_SUITE_P(Bits, BltReference, ::testing::Values(32, 16),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param);
                         });

// --- A source that changes after it has been drawn ---

// Each case draws a source once same size and at two stretched sizes, so
// that whatever the surface keeps for its blits is there; changes the
// source; and draws it the same three ways onto a clean screen.
class ChangedSource : public ::testing::Test {
 protected:
  void SetUp() override {
    dd_ = MakeDirectDraw();
    screen_ = MakePicture(dd_, 220, 160, 32);
    scratch_ = MakePicture(dd_, 220, 160, 32);
    source_ = MakePicture(dd_, 60, 40, 32);
    Random random(3);
    FillRandom(source_, random, key_);
    Store(source_);
    SetKey(source_, key_);
    DrawThreeWays();
  }
  void TearDown() override {
    screen_.surface->Release();
    scratch_.surface->Release();
    source_.surface->Release();
    dd_->Release();
  }

  void DrawThreeWays() {
    std::fill(screen_.pixels.begin(), screen_.pixels.end(), 0x00102030u);
    Store(screen_);
    BltThreeWays(screen_);
    // The source is read only now, after the blits: reading it through Lock
    // before them would itself drop what a stale surface kept. That Lock
    // drops it too, so the source is drawn once more, where nobody looks,
    // for the next change to find it drawn.
    source_.pixels = Load(source_);
    for (const RECT& place : kPlaces) ReferenceBlt(screen_, place, source_, RECT{0, 0, 60, 40}, &key_);
    BltThreeWays(scratch_);
  }

  void BltThreeWays(const Picture& onto) {
    for (const RECT& place : kPlaces) {
      RECT to = place;
      ASSERT_EQ(onto.surface->Blt(&to, source_.surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    }
  }

  static constexpr RECT kPlaces[3] = {{0, 0, 60, 40}, {70, 0, 190, 80}, {0, 90, 29, 109}};
  IDirectDraw7* dd_ = nullptr;
  Picture screen_;
  Picture scratch_;
  Picture source_;
  Key key_{0x00FF00FF, 0x00FF00FF};
};

TEST_F(ChangedSource, ThroughLock) {
  for (int y = 0; y < source_.height; ++y) {
    for (int x = 0; x < source_.width; ++x) {
      // Drawn pixels become hidden and hidden ones drawn, in a checkerboard.
      if ((x + y) % 2 == 0) source_.at(x, y) = source_.at(x, y) == key_.low ? 0x00C08040u : key_.low;
    }
  }
  Store(source_);
  DrawThreeWays();
  EXPECT_TRUE(Holds(screen_));
}

TEST_F(ChangedSource, ThroughTextOnItsDeviceContext) {
  std::fill(source_.pixels.begin(), source_.pixels.end(), key_.low);
  Store(source_);
  DrawThreeWays();
  ASSERT_TRUE(Holds(screen_));

  HDC hdc = nullptr;
  ASSERT_EQ(source_.surface->GetDC(&hdc), DD_OK);
  SetBkMode(hdc, OPAQUE);
  SetTextColor(hdc, 0x000000FF);
  ASSERT_TRUE(TextOutA(hdc, 2, 4, "HOPS 60", 7));
  ASSERT_EQ(source_.surface->ReleaseDC(hdc), DD_OK);
  DrawThreeWays();
  EXPECT_TRUE(Holds(screen_));
  // The text really reached the picture.
  EXPECT_NE(std::count(source_.pixels.begin(), source_.pixels.end(), key_.low),
            static_cast<std::ptrdiff_t>(source_.pixels.size()));
}

TEST_F(ChangedSource, ByBeingDrawnOn) {
  Picture patch = MakePicture(dd_, 30, 20, 32);
  Random random(11);
  FillRandom(patch, random, key_);
  Store(patch);
  RECT onto{20, 10, 50, 30};
  ASSERT_EQ(source_.surface->Blt(&onto, patch.surface, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  DrawThreeWays();
  EXPECT_TRUE(Holds(screen_));
  patch.surface->Release();
}

TEST_F(ChangedSource, ByItsOwnKeyChanging) {
  key_ = Key{0x00000000, 0x00FFFF7F};
  SetKey(source_, key_);
  DrawThreeWays();
  EXPECT_TRUE(Holds(screen_));

  key_ = Key{0x00C0C0C0, 0x00C0C0C0};
  SetKey(source_, key_);
  DrawThreeWays();
  EXPECT_TRUE(Holds(screen_));
}

TEST_F(ChangedSource, KeyRemovedAndSetAgain) {
  ASSERT_EQ(source_.surface->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
  RECT to{0, 0, 60, 40};
  EXPECT_EQ(screen_.surface->Blt(&to, source_.surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr),
            DDERR_INVALIDPARAMS);
  key_ = Key{0x00000000, 0x007F7F7F};
  SetKey(source_, key_);
  DrawThreeWays();
  EXPECT_TRUE(Holds(screen_));
}

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

// The pages of a flipping chain trade their pixels; a blit from either
// afterwards draws what the page holds now.
TEST(FlippedSource, DrawsThePageItHoldsNow) {
  FlippingChain chain;
  ASSERT_NO_FATAL_FAILURE(MakeFlippingChain(chain, 320, 240, 32));
  IDirectDraw7* const dd = chain.dd;
  Picture& front = chain.front;
  Picture& back = chain.back;
  const Key key{0x00FF00FF, 0x00FF00FF};
  Random random(17);
  FillRandom(back, random, key);
  Store(back);
  ASSERT_EQ(front.surface->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  std::swap(front.pixels, back.pixels);
  FillRandom(back, random, key);
  Store(back);
  SetKey(front, key);
  SetKey(back, key);

  Picture screen = MakePicture(dd, 320, 240, 32);
  const auto draw_both = [&] {
    std::fill(screen.pixels.begin(), screen.pixels.end(), 0u);
    Store(screen);
    RECT whole{0, 0, 320, 240};
    RECT half{0, 0, 160, 120};
    RECT lower{160, 120, 320, 240};
    ASSERT_EQ(screen.surface->Blt(&whole, back.surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    ASSERT_EQ(screen.surface->Blt(&half, front.surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    ASSERT_EQ(screen.surface->Blt(&lower, back.surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    ReferenceBlt(screen, whole, back, whole, &key);
    ReferenceBlt(screen, half, front, whole, &key);
    ReferenceBlt(screen, lower, back, whole, &key);
  };
  draw_both();
  ASSERT_TRUE(Holds(screen));

  // No pixel is copied: the memory the back buffer had is the screen's now.
  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof(locked);
  ASSERT_EQ(back.surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
  const void* back_memory = locked.lpSurface;
  ASSERT_EQ(back.surface->Unlock(nullptr), DD_OK);
  ASSERT_EQ(front.surface->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  std::swap(front.pixels, back.pixels);
  ASSERT_EQ(front.surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(locked.lpSurface, back_memory);
  ASSERT_EQ(front.surface->Unlock(nullptr), DD_OK);

  // A Lock drops what a surface keeps, so lock nothing between these two.
  draw_both();
  ASSERT_EQ(front.surface->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  std::swap(front.pixels, back.pixels);
  draw_both();
  EXPECT_TRUE(Holds(screen));

  screen.surface->Release();
  back.surface->Release();
  front.surface->Release();
  dd->Release();
}

// The back buffer covered whole by a picture, with or without a keyed
// picture over it, shows on the screen after the flip exactly as drawn,
// even when the picture changes before the flip.
TEST(FlippedSource, WholeCopyOntoTheBackBufferIsShown) {
  FlippingChain chain;
  ASSERT_NO_FATAL_FAILURE(MakeFlippingChain(chain, 320, 240, 32));
  IDirectDraw7* const dd = chain.dd;
  IDirectDrawSurface7* const front = chain.front.surface;
  Picture& back = chain.back;

  const Key key{0x00FF00FF, 0x00FF00FF};
  Random random(23);
  Picture sky = MakePicture(dd, 320, 240, 32);
  Picture field = MakePicture(dd, 320, 240, 32);
  FillDrawn(sky, random, key);
  FillRandom(field, random, key);
  // The screen has no top byte to show.
  for (Picture* picture : {&sky, &field}) {
    for (std::uint32_t& pixel : picture->pixels) pixel &= 0x00FFFFFFu;
    Store(*picture);
    SetKey(*picture, key);
  }
  const RECT whole{0, 0, 320, 240};
  const auto shows = [&](const Picture& expected) {
    const platform::testing::Screen screen = platform::testing::screen();
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        if (screen.at(x, y) != expected.at(x, y)) {
          return ::testing::AssertionFailure() << "screen pixel (" << x << ", " << y << ")";
        }
      }
    }
    return ::testing::AssertionSuccess();
  };
  const auto blt = [&](const Picture& source, const Key* with) {
    RECT to = whole;
    ASSERT_EQ(
        back.surface->Blt(&to, source.surface, nullptr, DDBLT_WAIT | (with ? DDBLT_KEYSRC : 0), nullptr),
        DD_OK);
    ReferenceBlt(back, whole, source, whole, with);
  };

  // What the front page holds; each flip trades it for the back buffer's.
  Picture shown = back;
  const auto flip = [&] {
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    std::swap(shown.pixels, back.pixels);
  };

  blt(sky, &key);
  flip();
  EXPECT_TRUE(shows(shown));

  blt(sky, nullptr);
  blt(field, &key);
  flip();
  EXPECT_TRUE(shows(shown));

  blt(sky, &key);
  for (std::uint32_t& pixel : sky.pixels) pixel ^= 0x00010101u;
  Store(sky);
  flip();
  EXPECT_TRUE(shows(shown));

  // Copies of either page, still owed when the pages trade their pixels,
  // hold what the pages held before.
  Picture of_back = MakePicture(dd, 320, 240, 32);
  Picture of_front = MakePicture(dd, 320, 240, 32);
  RECT to = whole;
  ASSERT_EQ(of_back.surface->Blt(&to, back.surface, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  ASSERT_EQ(of_front.surface->Blt(&to, front, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  of_back.pixels = back.pixels;
  of_front.pixels = shown.pixels;
  flip();
  EXPECT_TRUE(Holds(of_back));
  EXPECT_TRUE(Holds(of_front));
  of_back.surface->Release();
  of_front.surface->Release();

  // And the picture going away first leaves the copy in place.
  blt(field, nullptr);
  field.surface->Release();
  flip();
  EXPECT_TRUE(shows(shown));

  // The front page is the screen: a blit onto it shows at once.
  RECT everything = whole;
  ASSERT_EQ(front->Blt(&everything, sky.surface, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_TRUE(shows(sky));

  sky.surface->Release();
  back.surface->Release();
  front->Release();
  dd->Release();
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
