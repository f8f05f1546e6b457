// A bitmap font in Unifont's .hex form: one line a code point, its number in
// hexadecimal, a colon and its rows top down in hexadecimal, 16 rows of 8
// or 16 pixels. Drawn with the baseline two rows above the cell's bottom,
// its glyphs fall on the same pixels as FreeType's black-and-white
// rendering of Unifont's outline font at a 16-pixel cell.
#pragma once

#include <memory>
#include <string_view>
#include <unordered_map>

#include "gdi32/system_font.h"

namespace platform {

class HexFont final : public SystemFont {
 public:
  // The glyphs of the well-formed lines of `text`; lines of another shape
  // are passed over.
  explicit HexFont(std::string_view text);
  // Null when the file cannot be read or holds no glyph.
  static std::unique_ptr<HexFont> open(const char* path);

  int ascender() const override { return kCellHeight - kDescent; }
  int line_height() const override { return kCellHeight; }
  // A code point the font lacks draws as U+FFFD does (nothing, when that
  // too is missing).
  const Glyph& glyph(char32_t code_point) override;
  std::size_t size() const { return glyphs_.size(); }

 private:
  static constexpr int kDescent = 2;
  std::unordered_map<char32_t, Glyph> glyphs_;
  Glyph nothing_;
};

}  // namespace platform
