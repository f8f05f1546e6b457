// Text: the CP949 code page, wsprintfA, TextOutA on a surface's device
// context and the message boxes' pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "gdi32/device_context.h"
#include "kernel32/code_page.h"
#include "support/test_display.h"
#include "user32/message_box_picture.h"

namespace {

using namespace std::literals;
constexpr std::uint32_t kFill = 0x00123456;
constexpr std::uint8_t kGuard = 0xA5;
namespace pt = platform::testing;

// CP949 as a Korean Windows decodes it: KS X 1001 Hangul (프레임), the Unified
// Hangul extension (똠, whose trail bytes reach into ASCII), ASCII with NUL, and U+FFFD
// for a lead byte cut off or followed by what cannot trail, after which the
// next byte is read on its own.
TEST(CodePage, DecodesCp949AsKoreanWindowsDoes) {
  std::vector<std::u32string> decoded;
  for (const std::string_view bytes :
       {"\xC7\xC1\xB7\xB9\xC0\xD3: 60"sv, "c\x8C\x63!"sv, "FPS: 60 ~\x7F"sv, "a\0b"sv, ""sv, "A\xC7"sv,
        "\xC7\xC1\xB7"sv, "\xC7 B"sv, "\xC7\x7F\xC7\xC1"sv, "\x80"sv, "x\xFFy"sv})
    decoded.push_back(platform::decode_ansi(bytes));
  EXPECT_EQ(decoded, (std::vector<std::u32string>{U"\uD504\uB808\uC784: 60", U"c\uB620!", U"FPS: 60 ~\x7F",
                                                  U"a\0b"s, U"", U"A\uFFFD", U"\uD504\uFFFD", U"\uFFFD B",
                                                  U"\uFFFD\x7F\uD504", U"\uFFFD", U"x\uFFFDy"}));

  // Message boxes reach the host as UTF-8, captioned "Error" without a caption.
  MessageBoxA(nullptr, "\xC7\xC1 ~\x7F", nullptr, MB_OK);
  ASSERT_FALSE(platform::testing::message_boxes().empty());
  const auto& box = platform::testing::message_boxes().back();
  EXPECT_EQ(box.text + "|" + box.caption, "프 ~\x7F|Error");
}

// The game's conversions, %d and %s, with CP949 bytes passing unchanged;
// the output stops at 1024 bytes with its terminator.
TEST(Wsprintf, FormatsAsWindowsDoes) {
  char sz[64];
  EXPECT_EQ(wsprintfA(sz, "%d|%d|%d\xC7\xC1 : %s%s", -2147483647 - 1, 2147483647, 0, "VVV", ""), 32);
  EXPECT_STREQ(sz, "-2147483648|2147483647|0\xC7\xC1 : VVV");
  std::string buffer(1100, '#');
  EXPECT_EQ(wsprintfA(buffer.data(), "%s", std::string(2000, 'x').c_str()), 1023);
  EXPECT_EQ(buffer.substr(1022, 3), std::string("x\0#", 3));
}

// A picture of width x height at 32 or 16 bits in rows 12 bytes wider than
// it, with two spare rows below: everything outside it holds guard bytes.
struct Page {
  Page(int width, int height, int bits = 32)
      : w(width), h(height), bytes(bits / 8), pitch(w * bytes + 12), memory(pitch * (h + 2), kGuard) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) std::memcpy(&memory[y * pitch + x * bytes], &kFill, bytes);
    hdc = platform::create_surface_dc({memory.data(), w, h, pitch, bits});
  }
  ~Page() { platform::release_surface_dc(hdc); }

  // The picture's pixels as stored (16-bit values not widened).
  pt::Screen read() { return hops_test::read_pixels({memory.data(), w, h, pitch, bytes * 8}); }
  void write(int x, int y, const char* text, int mode) const {
    SetBkMode(hdc, mode);
    SetTextColor(hdc, 0x000000FF);  // red
    EXPECT_EQ(TextOutA(hdc, x, y, text, static_cast<int>(std::strlen(text))), TRUE);
  }

  const int w, h, bytes, pitch;
  std::vector<std::uint8_t> memory;
  HDC hdc;
};

// Text goes below and right of the pen in the text colour of the surface's
// format: transparent, ink only; opaque (the default), on white cells 8 by 16. Any other pen position shows
// that picture moved, cut wherever a page edge falls, and nothing past the edges. (That the context's
// bounds hold all that changed, the surface fuzzer's screen shows.)
TEST(TextOut, ThePictureMovesWithThePenAndIsCutAtEveryEdge) {
  for (const int mode : {TRANSPARENT, OPAQUE}) {
    Page whole(200, 60), whole16(200, 60, 16);
    whole.write(50, 20, "M#Ag", mode);
    whole16.write(50, 20, "M#Ag", mode);
    const pt::Screen picture = whole.read(), picture16 = whole16.read();
    // The 16-bit picture is the 32-bit one pixel for pixel, in fill, ink and paper only.
    pt::Screen as16 = picture;
    for (std::uint32_t& p : as16.pixels)
      p = p == kFill ? kFill & 0xFFFF : p == 0x00FF0000 ? 0xF800 : p == 0x00FFFFFF ? 0xFFFF : ~0u;
    EXPECT_EQ(picture16.pixels, as16.pixels);
    const std::vector<int> box = hops_test::colour_box(picture, kFill, true);
    EXPECT_TRUE(std::count(picture.pixels.begin(), picture.pixels.end(), 0x00FF0000u) > 40 && box[0] >= 50 &&
                box[1] >= 20 && box[3] >= 28 && box[3] <= 38 &&
                (mode == TRANSPARENT || box == std::vector<int>{50, 20, 82, 36}) &&
                (mode == OPAQUE) ==
                    (std::count(picture.pixels.begin(), picture.pixels.end(), 0x00FFFFFFu) > 0))
        << box[0] << "," << box[1] << "," << box[3];
    for (const POINT pen : {POINT{10, 20}, {-3, -4}, {30, 10}, {35, 15}, {5000, 5}, {-5000, 5}, {5, 400}}) {
      // The whole picture moved by the pen over a fresh page, its guard bytes untouched.
      Page page(40, 20), expected(40, 20);
      page.write(pen.x, pen.y, "M#Ag", mode);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
          const int wx = x - pen.x + 50, wy = y - pen.y + 20;
          if (wx >= 0 && wx < 200 && wy >= 0 && wy < 60)
            std::memcpy(&expected.memory[y * page.pitch + x * 4], &picture.pixels[wy * 200 + wx], 4);
        }
      EXPECT_EQ(page.memory, expected.memory) << pen.x << "," << pen.y << " mode " << mode;
    }
  }
}

// The box's text, decoded from UTF-8, is exactly what TextOutA draws of the
// CP949 bytes MessageBoxA got: black ink on the white body, line by line,
// the lines broken as Windows breaks them.
TEST(MessageBoxPicture, TextIsTextOutAOfTheAnsiBytes) {
  const std::string lines[] = {"\xba\xf1\xc6\xae\xb8\xca", "IMG/IMG_BALL.bmp"};
  const platform::MessageBoxPicture picture = platform::draw_message_box(
      platform::ansi_to_utf8("\xbd\xc7\xc6\xd0"), platform::ansi_to_utf8(lines[0] + "\r\n" + lines[1]));
  std::vector<std::uint32_t> expected = picture.pixels;
  const HDC hdc =
      platform::create_surface_dc({expected.data(), picture.width, picture.height, picture.width * 4});
  SetBkMode(hdc, TRANSPARENT);
  for (int i = 0, top = picture.text_origin.y; i < 2; ++i, top += 16) {
    for (int y = top; y < top + 16; ++y)
      std::fill_n(&expected[static_cast<std::size_t>(y * picture.width + 1)], picture.width - 2, 0x00FFFFFF);
    TextOutA(hdc, picture.text_origin.x, top, lines[i].c_str(), static_cast<int>(lines[i].size()));
  }
  platform::release_surface_dc(hdc);
  EXPECT_EQ(picture.pixels, expected);
}

}  // namespace
