// The system font TextOutA draws with, for text the platform draws itself
// (message boxes): the same glyphs, pen advances and 16-pixel lines.
#pragma once

#include <windows.h>

#include <string_view>

#include "gdi32/device_context.h"

namespace platform {

// Pixels from the top of a line of text to the next.
int text_line_height();
// How far the pen moves over text.
int text_width(std::u32string_view text);
// Draws the ink of text (no background) with the top of its line at (x, y),
// clipped to the target.
void draw_text(const PixelView& target, long long x, long long y, std::u32string_view text, COLORREF color);

}  // namespace platform
