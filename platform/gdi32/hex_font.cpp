#include "gdi32/hex_font.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace platform {
namespace {

std::optional<unsigned> hex_digit(char digit) {
  if (digit >= '0' && digit <= '9') return static_cast<unsigned>(digit - '0');
  if (digit >= 'A' && digit <= 'F') return static_cast<unsigned>(digit - 'A' + 10);
  if (digit >= 'a' && digit <= 'f') return static_cast<unsigned>(digit - 'a' + 10);
  return std::nullopt;
}

// The rows of one glyph: 32 digits make 8 pixels a row, 64 make 16.
std::optional<Glyph> parse_rows(std::string_view digits, int ascender) {
  if (digits.size() != 2 * kCellHeight && digits.size() != 4 * kCellHeight) return std::nullopt;
  Glyph glyph;
  glyph.width = static_cast<int>(digits.size()) / 4;
  glyph.rows = kCellHeight;
  glyph.top = ascender;
  glyph.advance = glyph.width;
  glyph.ink.reserve(digits.size() * 4);
  for (const char digit : digits) {
    const std::optional<unsigned> value = hex_digit(digit);
    if (!value) return std::nullopt;
    for (unsigned bit = 8; bit != 0; bit >>= 1) glyph.ink.push_back((*value & bit) != 0 ? 1 : 0);
  }
  return glyph;
}

}  // namespace

HexFont::HexFont(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon > 6 || colon == std::string_view::npos) continue;
    char32_t code_point = 0;
    bool valid = true;
    for (const char digit : line.substr(0, colon)) {
      const std::optional<unsigned> value = hex_digit(digit);
      valid = valid && value.has_value();
      code_point = code_point << 4 | value.value_or(0);
    }
    std::optional<Glyph> glyph = parse_rows(line.substr(colon + 1), ascender());
    if (valid && glyph) glyphs_.insert_or_assign(code_point, std::move(*glyph));
  }
}

std::unique_ptr<HexFont> HexFont::open(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return nullptr;
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  auto font = std::make_unique<HexFont>(text);
  if (font->size() == 0) return nullptr;
  return font;
}

const Glyph& HexFont::glyph(char32_t code_point) {
  auto found = glyphs_.find(code_point);
  if (found == glyphs_.end()) found = glyphs_.find(U'\uFFFD');
  return found != glyphs_.end() ? found->second : nothing_;
}

}  // namespace platform
