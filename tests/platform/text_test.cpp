#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gdi32/device_context.h"
#include "platform_state.h"

namespace {

constexpr std::uint32_t kFill = 0x00123456;
constexpr std::uint8_t kGuard = 0xA5;
constexpr COLORREF kRed = 0x000000FF;

// A picture of width x height at 32 or 16 bits in rows 12 bytes wider than
// it, with two spare rows below: everything outside it holds guard bytes.
class Page {
 public:
  Page(int width, int height, int bits = 32)
      : width_(width),
        height_(height),
        bytes_(bits / 8),
        pitch_(width * bytes_ + 12),
        memory_(static_cast<std::size_t>(pitch_) * (height + 2), kGuard) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) std::memcpy(&memory_[y * pitch_ + x * bytes_], &kFill, bytes_);
    hdc_ = platform::create_surface_dc({.pixels = memory_.data(),
                                        .width = width,
                                        .height = height,
                                        .pitch = pitch_,
                                        .bits_per_pixel = bits});
  }
  ~Page() { platform::release_surface_dc(hdc_); }

  HDC hdc() const { return hdc_; }
  std::uint32_t at(int x, int y) const {
    std::uint32_t value = 0;
    std::memcpy(&value, &memory_[y * pitch_ + x * bytes_], bytes_);
    return value;
  }
  std::uint32_t fill() const { return bytes_ == 4 ? kFill : kFill & 0xFFFF; }
  std::vector<std::uint32_t> picture() const {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) pixels.push_back(at(x, y));
    return pixels;
  }
  int count(std::uint32_t value) const { return static_cast<int>(std::ranges::count(picture(), value)); }
  bool guards_intact() const {
    for (int y = 0; y < height_ + 2; ++y)
      for (int i = y < height_ ? width_ * bytes_ : 0; i < pitch_; ++i)
        if (memory_[y * pitch_ + i] != kGuard) return false;
    return true;
  }
  // The box (left, top, right, bottom; exclusive) of the pixels that changed.
  std::vector<int> changed_box() const {
    std::vector<int> box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (at(x, y) != fill())
          box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
    return box;
  }
  // Ends the context and gives the bounds it says were drawn on.
  std::vector<int> drawn() {
    RECT rc{};
    EXPECT_TRUE(platform::release_surface_dc(hdc_, &rc));
    hdc_ = nullptr;
    return rc.left >= rc.right ? std::vector<int>{width_, height_, 0, 0}
                               : std::vector<int>{rc.left, rc.top, rc.right, rc.bottom};
  }

  const int width_, height_, bytes_, pitch_;

 private:
  std::vector<std::uint8_t> memory_;
  HDC hdc_ = nullptr;
};

void Write(const Page& page, int x, int y, const char* text, int mode = TRANSPARENT, COLORREF color = kRed,
           int c = -2) {
  SetBkMode(page.hdc(), mode);
  SetTextColor(page.hdc(), color);
  EXPECT_EQ(TextOutA(page.hdc(), x, y, text, c == -2 ? static_cast<int>(std::strlen(text)) : c), TRUE);
}

// Drawn at the pen in a roomy page, text is the picture every other pen
// position shows moved, cut wherever a page edge falls, and nothing past
// the edges; the context's bounds hold all that changed.
TEST(TextOut, ThePictureMovesWithThePenAndIsCutAtEveryEdge) {
  for (const int mode : {TRANSPARENT, OPAQUE}) {
    Page whole(200, 60);
    Write(whole, 50, 20, "M#Ag", mode);
    const struct {
      int x, y;
    } pens[] = {{10, 20}, {-3, -4}, {30, 10}, {35, 15}, {5000, 5}, {-5000, 5}, {5, 400}};
    for (const auto& pen : pens) {
      Page page(40, 20);
      Write(page, pen.x, pen.y, "M#Ag", mode);
      int nWrong = 0;
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
          const int wx = x - pen.x + 50, wy = y - pen.y + 20;
          const bool inside = wx >= 0 && wx < 200 && wy >= 0 && wy < 60;
          nWrong += page.at(x, y) != (inside ? whole.at(wx, wy) : kFill);
        }
      EXPECT_EQ(nWrong, 0) << pen.x << "," << pen.y << " mode " << mode;
      EXPECT_TRUE(page.guards_intact());
      const std::vector<int> changed = page.changed_box(), drawn = page.drawn();
      EXPECT_TRUE(changed[0] >= changed[2] || (drawn[0] <= changed[0] && drawn[1] <= changed[1] &&
                                               drawn[2] >= changed[2] && drawn[3] >= changed[3]))
          << pen.x << "," << pen.y << " mode " << mode;
    }
  }
}

// Transparent: ink only, below and right of the pen, in the text colour of
// the surface's format. Opaque (the default): white cells from the pen on,
// one line high, under black ink.
TEST(TextOut, InkAndCellsInTheTextAndBackgroundColours) {
  Page ink(200, 60), ink16(200, 60, 16), cells(200, 60);
  Write(ink, 10, 20, "HOPS 60");
  Write(ink16, 10, 20, "HOPS 60");
  ASSERT_EQ(TextOutA(cells.hdc(), 10, 20, "HOPS 60", 7), TRUE);
  const std::vector<int> box = ink.changed_box();
  EXPECT_GT(ink.count(0x00FF0000), 40);
  EXPECT_EQ(ink.count(0x00FF0000) + ink.count(kFill), 200 * 60);
  EXPECT_EQ(ink16.count(0xF800) + ink16.count(kFill & 0xFFFF), 200 * 60);
  EXPECT_EQ(ink16.changed_box(), box);
  EXPECT_TRUE(box[0] >= 10 && box[1] >= 20 && box[3] >= 28 && box[3] < 38) << box[1] << " " << box[3];

  const std::vector<int> cell = cells.changed_box();
  EXPECT_EQ(std::vector<int>(cell.begin(), cell.begin() + 2), (std::vector<int>{10, 20}));
  EXPECT_TRUE(cell[3] - 20 >= 16 && cell[3] - 20 <= 18) << cell[3];
  EXPECT_EQ(cells.count(0x00FFFFFF) + cells.count(0), (cell[2] - 10) * (cell[3] - 20));
  EXPECT_EQ(cells.count(0), ink.count(0x00FF0000));
}

// Each character takes the cell it drew: text is the sum of its parts,
// only the first c bytes are drawn, and each Hangul syllable inks a cell
// of its own with a glyph of its own.
TEST(TextOut, TextIsTheSumOfItsCharacters) {
  Page one(100, 30), pair(100, 30), pieces(100, 30), part(100, 30), other(100, 30);
  Write(one, 0, 0, "A", OPAQUE);
  const int advance = one.changed_box()[2];
  Write(pair, 3, 2, "AB", OPAQUE);
  Write(pieces, 3, 2, "A", OPAQUE);
  Write(pieces, 3 + advance, 2, "B", OPAQUE);
  EXPECT_EQ(pair.picture(), pieces.picture());
  Write(part, 3, 2, "ABCD", OPAQUE, kRed, 2);
  EXPECT_EQ(part.picture(), pair.picture());
  Write(other, 3, 2, "AC", OPAQUE);
  EXPECT_NE(other.picture(), pair.picture());

  Page syllables(120, 30), first(120, 30), second(120, 30);
  Write(syllables, 4, 4, "\xC7\xC1\xB7\xB9\xC0\xD3");  // 프레임
  Write(first, 4, 4, "\xC7\xC1");
  Write(second, 4, 4, "\xB7\xB9");
  EXPECT_NE(first.picture(), second.picture());
  const std::vector<int> box = syllables.changed_box();
  const int cell = (first.changed_box()[2] - 4 + 3) / 4 * 4;
  for (int i = 0; i < 3; ++i) {
    int inked = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 4 + i * cell; x < std::min(4 + (i + 1) * cell, 120); ++x)
        inked += syllables.at(x, y) != kFill;
    EXPECT_GT(inked, 15) << "syllable " << i << " of " << box[2];
  }
}

TEST(DeviceContext, SettersAnswerThePreviousValueAndUnknownContextsFail) {
  Page page(60, 30);
  EXPECT_EQ(SetBkMode(page.hdc(), TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(page.hdc(), 3), 0);
  EXPECT_EQ(SetBkMode(page.hdc(), OPAQUE), TRANSPARENT);
  EXPECT_EQ(SetTextColor(page.hdc(), kRed), 0x00000000u);
  EXPECT_EQ(SetTextColor(page.hdc(), RGB(1, 2, 3)), kRed);
  EXPECT_EQ(SetTextColor(page.hdc(), 0), 0x00030201u);
  EXPECT_EQ(TextOutA(page.hdc(), 2, 2, "HOPS", 0), TRUE);
  EXPECT_EQ(TextOutA(page.hdc(), 2, 2, "HOPS", -1), TRUE);
  EXPECT_EQ(page.count(kFill), 60 * 30);

  const HDC gone = page.hdc();
  const HDC other = platform::create_surface_dc({.pixels = nullptr, .width = 0, .height = 0, .pitch = 0});
  EXPECT_NE(other, gone);
  EXPECT_EQ(page.drawn(), (std::vector<int>{60, 30, 0, 0}));
  platform::reset_gdi32();
  for (const HDC hdc : {HDC{}, gone, other}) {
    EXPECT_EQ(SetBkMode(hdc, TRANSPARENT), 0);
    EXPECT_EQ(SetTextColor(hdc, kRed), CLR_INVALID);
    EXPECT_EQ(TextOutA(hdc, 0, 0, "#", 1), FALSE);
    EXPECT_FALSE(platform::release_surface_dc(hdc));
  }
}

TEST(DeviceContext, StockObjectsAreDistinctAndStableForTheKnownIndices) {
  std::vector<HGDIOBJ> handles;
  for (int index = -1; index <= SYSTEM_FONT + 1; ++index) handles.push_back(GetStockObject(index));
  for (int index = -1; index <= SYSTEM_FONT + 1; ++index) {
    const bool known = (index >= WHITE_BRUSH && index <= NULL_BRUSH) || index == SYSTEM_FONT;
    EXPECT_EQ(handles[index + 1] != nullptr, known) << index;
    EXPECT_EQ(GetStockObject(index), handles[index + 1]);
    EXPECT_EQ(std::ranges::count(handles, handles[index + 1]) == 1, known) << index;
  }
}

}  // namespace
