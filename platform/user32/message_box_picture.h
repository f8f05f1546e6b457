// How the platform's MessageBoxA looks where it draws its own box: a pure
// picture, so that any host can put it on a screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

struct MessageBoxPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top down, no padding
  POINT text_origin{};                // top-left of the text's first line
  RECT ok_button{};                   // where a click means OK
};

// The box for a caption and a text (UTF-8; '\n' breaks a line): a caption
// band, the text in the system font TextOutA uses, and an OK button, as
// wide as the longest line needs.
MessageBoxPicture draw_message_box(std::string_view caption, std::string_view text);

}  // namespace platform
