#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gdi32/device_context.h"
#include "platform_state.h"

namespace {

constexpr std::uint32_t kFill32 = 0x00123456;
constexpr std::uint16_t kFill16 = 0x1234;
constexpr std::uint8_t kGuard = 0xA5;
constexpr COLORREF kRed = 0x000000FF;
// "프레임"
constexpr char kFrameCp949[] = "\xC7\xC1\xB7\xB9\xC0\xD3";

// A surface whose rows are wider than its picture and which has spare rows
// below it: everything outside width x height holds guard bytes.
class Surface {
 public:
  Surface(int width, int height, int bits_per_pixel, int pad_bytes = 12)
      : width_(width),
        height_(height),
        bpp_(bits_per_pixel),
        pitch_(width * bits_per_pixel / 8 + pad_bytes),
        bytes_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height + 2), kGuard) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) put(x, y, bpp_ == 32 ? kFill32 : kFill16);
    }
    hdc_ = platform::create_surface_dc(
        {.pixels = bytes_.data(), .width = width, .height = height, .pitch = pitch_, .bits_per_pixel = bpp_});
  }
  ~Surface() { platform::release_surface_dc(hdc_); }

  HDC hdc() const { return hdc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::uint32_t fill() const { return bpp_ == 32 ? kFill32 : kFill16; }

  std::uint32_t at(int x, int y) const {
    const std::uint8_t* p = &bytes_[static_cast<std::size_t>(y * pitch_ + x * bpp_ / 8)];
    if (bpp_ == 16) {
      std::uint16_t value;
      std::memcpy(&value, p, sizeof value);
      return value;
    }
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
  }

  bool guards_intact() const {
    const int row_bytes = width_ * bpp_ / 8;
    for (int y = 0; y < height_ + 2; ++y) {
      for (int i = y < height_ ? row_bytes : 0; i < pitch_; ++i) {
        if (bytes_[static_cast<std::size_t>(y * pitch_ + i)] != kGuard) return false;
      }
    }
    return true;
  }

  // Pixels that no longer hold the fill, and the box around them.
  struct Changes {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  };
  Changes changes() const {
    Changes c;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (at(x, y) == fill()) continue;
        ++c.count;
        c.left = std::min(c.left, x);
        c.top = std::min(c.top, y);
        c.right = std::max(c.right, x);
        c.bottom = std::max(c.bottom, y);
      }
    }
    return c;
  }
  int count(std::uint32_t value) const {
    int n = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) n += at(x, y) == value ? 1 : 0;
    }
    return n;
  }
  std::vector<std::uint32_t> picture() const {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) pixels.push_back(at(x, y));
    }
    return pixels;
  }

 private:
  void put(int x, int y, std::uint32_t value) {
    std::uint8_t* p = &bytes_[static_cast<std::size_t>(y * pitch_ + x * bpp_ / 8)];
    if (bpp_ == 16) {
      const auto narrow = static_cast<std::uint16_t>(value);
      std::memcpy(p, &narrow, sizeof narrow);
    } else {
      std::memcpy(p, &value, sizeof value);
    }
  }

  int width_, height_, bpp_, pitch_;
  std::vector<std::uint8_t> bytes_;
  HDC hdc_ = nullptr;
};

void Draw(const Surface& surface, int x, int y, const char* text, int bk_mode = TRANSPARENT,
          COLORREF color = kRed) {
  SetBkMode(surface.hdc(), bk_mode);
  SetTextColor(surface.hdc(), color);
  ASSERT_EQ(TextOutA(surface.hdc(), x, y, text, static_cast<int>(std::strlen(text))), TRUE);
}

TEST(TextOutTransparent, RedInkOnlyBelowAndRightOfThePen) {
  Surface surface(200, 60, 32);
  Draw(surface, 10, 20, "HOPS 60");
  const Surface::Changes changed = surface.changes();
  EXPECT_GT(changed.count, 40);
  EXPECT_EQ(surface.count(0x00FF0000), changed.count);
  EXPECT_GE(changed.left, 10);
  EXPECT_GE(changed.top, 20);
  EXPECT_LT(changed.bottom, 20 + 18);
  EXPECT_GE(changed.bottom, 20 + 8);
  EXPECT_TRUE(surface.guards_intact());
}

TEST(TextOutTransparent, SixteenBitSurfaceGetsRedIn565) {
  Surface surface(120, 40, 16, 6);
  Draw(surface, 4, 4, "HOPS");
  const Surface::Changes changed = surface.changes();
  EXPECT_GT(changed.count, 20);
  EXPECT_EQ(surface.count(0xF800), changed.count);
  EXPECT_TRUE(surface.guards_intact());
}

TEST(TextOutTransparent, MovingThePenMovesThePictureUnchanged) {
  Surface first(100, 50, 32);
  Surface second(100, 50, 32);
  Draw(first, 10, 10, "Ag");
  Draw(second, 17, 13, "Ag");
  for (int y = 0; y < 37; ++y) {
    for (int x = 0; x < 83; ++x) ASSERT_EQ(first.at(x, y), second.at(x + 7, y + 3)) << x << "," << y;
  }
}

TEST(TextOutTransparent, StringsDifferInTheirPixels) {
  Surface first(100, 30, 32);
  Surface second(100, 30, 32);
  Draw(first, 2, 2, "12");
  Draw(second, 2, 2, "34");
  EXPECT_GT(first.changes().count, 0);
  EXPECT_GT(second.changes().count, 0);
  EXPECT_NE(first.picture(), second.picture());
}

TEST(TextOutTransparent, OnlyTheFirstCBytesAreDrawn) {
  Surface whole(100, 30, 32);
  Surface part(100, 30, 32);
  Draw(whole, 2, 2, "HO");
  SetBkMode(part.hdc(), TRANSPARENT);
  SetTextColor(part.hdc(), kRed);
  EXPECT_EQ(TextOutA(part.hdc(), 2, 2, "HOPS", 2), TRUE);
  EXPECT_EQ(whole.picture(), part.picture());
}

TEST(TextOutOpaque, DefaultContextFillsTheCellsWhiteUnderBlackInk) {
  Surface surface(120, 50, 32);
  ASSERT_EQ(TextOutA(surface.hdc(), 10, 15, "HOPS", 4), TRUE);
  const Surface::Changes changed = surface.changes();
  const int white = surface.count(0x00FFFFFF);
  const int black = surface.count(0x00000000);
  EXPECT_GT(black, 20);
  EXPECT_GT(white, black);
  EXPECT_EQ(white + black, changed.count);
  // The cells start exactly at the pen, the line's top at y.
  EXPECT_EQ(surface.at(10, 15), 0x00FFFFFFu);
  EXPECT_EQ(changed.left, 10);
  EXPECT_EQ(changed.top, 15);
  EXPECT_GE(changed.bottom - changed.top + 1, 16);
  EXPECT_LE(changed.bottom - changed.top + 1, 18);
  // A solid box: every pixel in it changed.
  EXPECT_EQ(changed.count, (changed.right - changed.left + 1) * (changed.bottom - changed.top + 1));
}

TEST(TextOutOpaque, PenAdvancesByTheCellJustDrawn) {
  Surface single(100, 30, 32);
  Draw(single, 0, 0, "A", OPAQUE);
  const int advance = single.changes().right + 1;
  ASSERT_GT(advance, 0);

  Surface pair(100, 30, 32);
  Surface pieces(100, 30, 32);
  Draw(pair, 3, 2, "AB", OPAQUE);
  Draw(pieces, 3, 2, "A", OPAQUE);
  Draw(pieces, 3 + advance, 2, "B", OPAQUE);
  EXPECT_EQ(pair.picture(), pieces.picture());
}

TEST(TextOutClipping, RightAndBottomEdgesLeaveTheGuardsAlone) {
  Surface surface(40, 20, 32, 16);
  Draw(surface, 30, 10, "WWWW", OPAQUE);
  EXPECT_TRUE(surface.guards_intact());
  const Surface::Changes changed = surface.changes();
  EXPECT_EQ(changed.left, 30);
  EXPECT_EQ(changed.right, 39);
  EXPECT_EQ(changed.bottom, 19);
}

TEST(TextOutClipping, LeftAndTopEdgesShowTheRestOfTheGlyph) {
  Surface whole(60, 30, 32);
  Surface cut(60, 30, 32);
  Draw(whole, 5, 6, "M#", OPAQUE);
  Draw(cut, -3, -4, "M#", OPAQUE);
  EXPECT_TRUE(cut.guards_intact());
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 52; ++x) ASSERT_EQ(cut.at(x, y), whole.at(x + 8, y + 10)) << x << "," << y;
  }
}

TEST(TextOutClipping, FarOutsideDrawsNothing) {
  Surface surface(40, 20, 32);
  Draw(surface, 5000, 5, "far", OPAQUE);
  Draw(surface, -5000, 5, "far", OPAQUE);
  Draw(surface, 5, 400, "far", OPAQUE);
  EXPECT_EQ(surface.changes().count, 0);
  EXPECT_TRUE(surface.guards_intact());
}

TEST(TextOutHangul, EverySyllableInksItsOwnCell) {
  Surface cells(120, 30, 32);
  Draw(cells, 4, 4, kFrameCp949, OPAQUE, 0x00000000);
  const Surface::Changes run = cells.changes();
  const int cell = (run.right - run.left + 1) / 3;
  ASSERT_GE(cell, 10);

  Surface ink(120, 30, 32);
  Draw(ink, 4, 4, kFrameCp949);
  for (int syllable = 0; syllable < 3; ++syllable) {
    int inked = 0;
    for (int y = 0; y < ink.height(); ++y) {
      for (int x = 4 + syllable * cell; x < 4 + (syllable + 1) * cell; ++x)
        inked += ink.at(x, y) == 0x00FF0000;
    }
    EXPECT_GT(inked, 15) << "syllable " << syllable;
  }
  EXPECT_EQ(ink.changes().count, ink.count(0x00FF0000));
}

TEST(TextOutHangul, SyllablesAreNotTheMissingGlyphBox) {
  Surface frame(120, 30, 32);
  Surface other(120, 30, 32);
  Draw(frame, 0, 0, "\xC7\xC1");  // 프
  Draw(other, 0, 0, "\xB7\xB9");  // 레
  EXPECT_NE(frame.picture(), other.picture());
}

TEST(TextOutArguments, NothingDrawnForEmptyTextOrUnknownContext) {
  Surface surface(60, 30, 32);
  EXPECT_EQ(TextOutA(surface.hdc(), 2, 2, "HOPS", 0), TRUE);
  EXPECT_EQ(TextOutA(surface.hdc(), 2, 2, "HOPS", -1), TRUE);
  EXPECT_EQ(TextOutA(NULL, 2, 2, "HOPS", 4), FALSE);
  EXPECT_EQ(surface.changes().count, 0);
}

TEST(DeviceContextState, SettersAnswerWithThePreviousValue) {
  Surface surface(8, 8, 32);
  EXPECT_EQ(SetBkMode(surface.hdc(), TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(surface.hdc(), OPAQUE), TRANSPARENT);
  EXPECT_EQ(SetTextColor(surface.hdc(), kRed), 0x00000000u);
  EXPECT_EQ(SetTextColor(surface.hdc(), RGB(1, 2, 3)), kRed);
  EXPECT_EQ(SetTextColor(surface.hdc(), 0), 0x00030201u);
}

TEST(DeviceContextState, MissingContextsFail) {
  EXPECT_EQ(SetBkMode(NULL, TRANSPARENT), 0);
  EXPECT_EQ(SetTextColor(NULL, kRed), CLR_INVALID);

  std::uint32_t pixel = kFill32;
  const HDC hdc = platform::create_surface_dc({.pixels = &pixel, .width = 1, .height = 1, .pitch = 4});
  ASSERT_NE(hdc, nullptr);
  EXPECT_TRUE(platform::release_surface_dc(hdc));
  EXPECT_FALSE(platform::release_surface_dc(hdc));
  EXPECT_EQ(SetBkMode(hdc, TRANSPARENT), 0);
  EXPECT_EQ(SetTextColor(hdc, kRed), CLR_INVALID);
  EXPECT_EQ(TextOutA(hdc, 0, 0, "#", 1), FALSE);
  EXPECT_EQ(pixel, kFill32);
}

TEST(DeviceContextState, ResetForgetsEveryContext) {
  std::uint32_t pixel = kFill32;
  const HDC first = platform::create_surface_dc({.pixels = &pixel, .width = 1, .height = 1, .pitch = 4});
  const HDC second = platform::create_surface_dc({.pixels = &pixel, .width = 1, .height = 1, .pitch = 4});
  EXPECT_NE(first, second);
  platform::reset_gdi32();
  EXPECT_EQ(SetBkMode(first, TRANSPARENT), 0);
  EXPECT_FALSE(platform::release_surface_dc(second));
}

TEST(StockObjects, DistinctStableHandlesForKnownIndices) {
  const int known[] = {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH,
                       BLACK_BRUSH, NULL_BRUSH,   SYSTEM_FONT};
  std::vector<HGDIOBJ> handles;
  for (const int index : known) {
    const HGDIOBJ handle = GetStockObject(index);
    ASSERT_NE(handle, nullptr) << index;
    EXPECT_EQ(GetStockObject(index), handle);
    EXPECT_EQ(std::count(handles.begin(), handles.end(), handle), 0) << index;
    handles.push_back(handle);
  }
  EXPECT_EQ(GetStockObject(6), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(14), nullptr);
}

}  // namespace
