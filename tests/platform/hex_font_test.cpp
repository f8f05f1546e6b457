// The Unifont bitmaps the browser build draws text with: read from .hex
// lines, and ink for ink the glyphs FreeType renders from Unifont's outline
// font, which the native build draws with.
#include "gdi32/hex_font.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// "advance: x,y ..." with the ink's pixels from the pen at the top of the line.
std::string ink(platform::SystemFont& font, char32_t code_point) {
  const platform::Glyph& glyph = font.glyph(code_point);
  std::string text = std::to_string(glyph.advance) + ":";
  for (int row = 0; row < glyph.rows; ++row)
    for (int column = 0; column < glyph.width; ++column)
      if (glyph.ink[static_cast<std::size_t>(row * glyph.width + column)] != 0)
        text += " " + std::to_string(glyph.left + column) + "," +
                std::to_string(font.ascender() - glyph.top + row);
  return text;
}

// Lines of 32 or 64 digits in either case, CRLF too, the last of two for
// one code point winning; lines of any other shape passed over; a code
// point the font lacks drawn as U+FFFD, or as nothing without it.
TEST(HexFont, ReadsUnifontLinesAndPassesOverOthers) {
  const std::string zeros(30, '0');
  platform::HexFont font("0041:" + zeros + "80\r\n" + "ac00:FF" + zeros + zeros + "00\n" + "0046:" + zeros +
                         "80\n" + "0046:" + zeros + "01\n" + "FFFD:80" + zeros + "\n" + "0042:" + zeros +
                         "0\n" + "0043:" + zeros + "800\n" + "0044:" + zeros + "0G\n" + ":" + zeros + "80\n" +
                         "1234567:" + zeros + "80\n" + "00G1:" + zeros + "80\n" + "0045" + zeros + "80\n" +
                         "0047:\n");
  // The glyphs read, the ascender and the line height, then each code point drawn.
  std::vector<std::string> drawn{std::to_string(font.size()), std::to_string(font.ascender()),
                                 std::to_string(font.line_height())};
  for (const char32_t code_point : {U'A', U'\uAC00', U'F', U'B', U'C', U'D', U'E', U'G', U'Z'})
    drawn.push_back(ink(font, code_point));
  const std::string replacement = "8: 0,0";
  EXPECT_EQ(drawn, (std::vector<std::string>{
                       "4", "14", "16", "8: 0,15", "16: 0,0 1,0 2,0 3,0 4,0 5,0 6,0 7,0", "8: 7,15",
                       replacement, replacement, replacement, replacement, replacement, replacement}));

  platform::HexFont without_replacement("0041:" + zeros + "80");
  EXPECT_EQ(ink(without_replacement, U'Z'), "0:");
  EXPECT_EQ(platform::HexFont::open("/nonexistent/unifont.hex"), nullptr);
}

// Every character of the subset the browser build carries (the game's texts,
// printable ASCII and U+FFFD), against the native build's FreeType font.
TEST(HexFont, DrawsTheGamesCharactersAsFreeTypeDrawsUnifont) {
#ifndef HOPS_GLYPHS
  GTEST_SKIP() << "this build made no Unifont subset (Debian's unifont package is missing)";
#else
  const std::unique_ptr<platform::HexFont> subset = platform::HexFont::open(HOPS_GLYPHS);
  ASSERT_NE(subset, nullptr);
  platform::SystemFont* const native = platform::system_font();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(native->ascender(), subset->ascender());
  EXPECT_EQ(native->line_height(), subset->line_height());
  std::ifstream lines(HOPS_GLYPHS);
  std::string line, differing;
  std::size_t compared = 0;
  for (; std::getline(lines, line); ++compared) {
    const auto code_point = static_cast<char32_t>(std::stoul(line, nullptr, 16));
    if (ink(*native, code_point) != ink(*subset, code_point))
      differing += " " + line.substr(0, line.find(':'));
  }
  EXPECT_EQ(compared, subset->size());
  EXPECT_EQ(differing, "");
#endif
}

}  // namespace
