#include "user32/message_box_picture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gdi32/device_context.h"
#include "kernel32/code_page.h"

namespace {

struct BoxText {
  const char* name;
  const char* caption;  // CP949, as the game hands them to MessageBoxA
  const char* text;
};

// The game's own boxes, and one of two lines as Windows breaks them.
const BoxText kBoxes[] = {
    {"LoadFailure", "\xbd\xc7\xc6\xd0", "\xba\xf1\xc6\xae\xb8\xca\x20\xb7\xce\xb5\xe5\x20\xbd\xc7\xc6\xd0"},
    {"DisplayMode", "Tobrikan",
     "\xb5\xf0\xbd\xba\xc7\xc3\xb7\xb9\xc0\xcc\x20\xb8\xf0\xb5\xe5\x20\xbc\xb3\xc1\xa4\xbd\xc7\xc6\xd0"},
    {"Depth", "\xbf\xa1\xb7\xaf",
     "\x31\x36\xba\xf1\xc6\xae\xc8\xa4\xc0\xba\x20\x33\x32\xba\xf1\xc6\xae\xb8\xa6\x20\xb0\xed\xb8\xa3\xbd"
     "\xc3"
     "\xbf\xc0"},
    {"TwoLines", "\xbd\xc7\xc6\xd0", "\xba\xf1\xc6\xae\xb8\xca\r\nIMG/IMG_BALL.bmp"},
};

// The box's text, decoded from UTF-8, is exactly what TextOutA draws of the
// CP949 bytes MessageBoxA got: black ink on the white body, line by line.
TEST(MessageBoxPicture, TextIsTextOutAOfTheAnsiBytes) {
  for (const BoxText& box : kBoxes) {
    SCOPED_TRACE(box.name);
    const platform::MessageBoxPicture picture =
        platform::draw_message_box(platform::ansi_to_utf8(box.caption), platform::ansi_to_utf8(box.text));
    std::vector<std::uint32_t> expected = picture.pixels;
    const HDC hdc = platform::create_surface_dc({.pixels = expected.data(),
                                                 .width = picture.width,
                                                 .height = picture.height,
                                                 .pitch = picture.width * 4});
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    std::string line;
    int top = picture.text_origin.y;
    for (const char* p = box.text;; ++p) {
      if (*p != '\n' && *p != '\0') {
        if (*p != '\r') line.push_back(*p);
        continue;
      }
      for (int y = top; y < top + 16; ++y) {
        for (int x = 1; x < picture.width - 1; ++x)
          expected[static_cast<std::size_t>(y * picture.width + x)] = 0x00FFFFFF;
      }
      TextOutA(hdc, picture.text_origin.x, top, line.c_str(), static_cast<int>(line.size()));
      line.clear();
      top += 16;
      if (*p == '\0') break;
    }
    platform::release_surface_dc(hdc);
    EXPECT_EQ(picture.pixels, expected);
  }
}

}  // namespace
