// The font TextOutA and the platform's own text draw with. The build
// chooses where it comes from: natively a Hangul font found through
// fontconfig and rasterised by FreeType (text.cpp), in the browser the
// Unifont bitmaps the page carries (web/system_font.cpp).
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The system font's cell: 16 pixels from the top of a line to the next.
inline constexpr int kCellHeight = 16;

// One code point in black and white: a byte a pixel, 1 where ink falls,
// placed relative to the pen on the baseline.
struct Glyph {
  int left = 0;  // from the pen to the first column
  int top = 0;   // from the baseline up to the first row
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> ink;
};

class SystemFont {
 public:
  virtual ~SystemFont() = default;
  // Pixels from the top of a line down to the baseline.
  virtual int ascender() const = 0;
  // Pixels from the top of a line to the next.
  virtual int line_height() const = 0;
  // A code point the font lacks draws the font's missing-glyph shape.
  virtual const Glyph& glyph(char32_t code_point) = 0;
};

// Opened on the first text drawn and kept for the whole run; null when the
// build's font cannot be had (the reason goes to standard error once).
SystemFont* system_font();

}  // namespace platform
