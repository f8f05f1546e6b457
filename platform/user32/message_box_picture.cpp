#include "user32/message_box_picture.h"

#include <algorithm>
#include <string>

#include "gdi32/text.h"

namespace platform {
namespace {

constexpr int kBandHeight = 28;
constexpr int kMargin = 20;
constexpr int kFooterHeight = 48;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kMinTextWidth = 240;

constexpr COLORREF kFrame = RGB(0x4A, 0x55, 0x62);
constexpr COLORREF kBand = RGB(0x2D, 0x5F, 0x93);
constexpr COLORREF kCaptionInk = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBody = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kTextInk = RGB(0x00, 0x00, 0x00);
constexpr COLORREF kFooter = RGB(0xF0, 0xF0, 0xF0);
constexpr COLORREF kFooterEdge = RGB(0xDC, 0xDC, 0xDC);
constexpr COLORREF kButtonFace = RGB(0xE5, 0xF1, 0xFB);
constexpr COLORREF kButtonEdge = RGB(0x00, 0x78, 0xD7);

constexpr char32_t kReplacement = U'\uFFFD';

// UTF-8 as the host hands it over; a malformed sequence becomes one U+FFFD.
std::u32string decode_utf8(std::string_view text) {
  std::u32string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const int trail = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    char32_t code_point = trail == 0 ? lead : lead & (0x3F >> trail);
    bool valid = trail >= 0;
    for (int n = 0; valid && n < trail; ++n) {
      const auto next = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
      valid = (next & 0xC0) == 0x80;
      if (valid) {
        code_point = code_point << 6 | (next & 0x3F);
        ++i;
      }
    }
    out.push_back(valid ? code_point : kReplacement);
  }
  return out;
}

// Lines as '\n' breaks them ("\r\n" too, as Windows writes them).
std::vector<std::u32string> split_lines(const std::u32string& text) {
  std::vector<std::u32string> lines(1);
  for (const char32_t code_point : text) {
    if (code_point == U'\n') {
      lines.emplace_back();
    } else if (code_point != U'\r') {
      lines.back().push_back(code_point);
    }
  }
  return lines;
}

class Painter {
 public:
  Painter(MessageBoxPicture& picture)
      : picture_(picture),
        target_{picture.pixels.data(), picture.width, picture.height, picture.width * 4, 32} {}

  void fill(const RECT& rect, COLORREF color) const {
    const std::uint32_t value = pixel_of(color, 32);
    for (LONG y = std::max(rect.top, LONG{0}); y < std::min(rect.bottom, LONG{picture_.height}); ++y) {
      for (LONG x = std::max(rect.left, LONG{0}); x < std::min(rect.right, LONG{picture_.width}); ++x) {
        picture_.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture_.width) +
                        static_cast<std::size_t>(x)] = value;
      }
    }
  }

  // A one-pixel edge in `edge` around a face of `face`.
  void frame(const RECT& rect, COLORREF edge, COLORREF face) const {
    fill(rect, edge);
    fill(RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, face);
  }

  void text(int x, int y, std::u32string_view text, COLORREF color) const {
    draw_text(target_, x, y, text, color);
  }

 private:
  MessageBoxPicture& picture_;
  PixelView target_;
};

}  // namespace

MessageBoxPicture draw_message_box(std::string_view caption, std::string_view text) {
  const std::u32string caption_text = decode_utf8(caption);
  const std::vector<std::u32string> lines = split_lines(decode_utf8(text));
  const int line_height = text_line_height();
  int text_width_needed = std::max(kMinTextWidth, text_width(caption_text));
  for (const std::u32string& line : lines) text_width_needed = std::max(text_width_needed, text_width(line));

  MessageBoxPicture picture;
  picture.width = 2 + 2 * kMargin + text_width_needed;
  const int body_top = 1 + kBandHeight;
  const int footer_top = body_top + 2 * kMargin + static_cast<int>(lines.size()) * line_height;
  picture.height = footer_top + kFooterHeight + 1;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height),
                        0);
  const Painter paint(picture);

  paint.frame(RECT{0, 0, picture.width, picture.height}, kFrame, kBody);
  paint.fill(RECT{1, 1, picture.width - 1, body_top}, kBand);
  paint.text(1 + kMargin / 2, 1 + (kBandHeight - line_height) / 2, caption_text, kCaptionInk);
  picture.text_origin = POINT{1 + kMargin, body_top + kMargin};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    paint.text(picture.text_origin.x, picture.text_origin.y + static_cast<int>(i) * line_height, lines[i],
               kTextInk);
  }

  paint.fill(RECT{1, footer_top, picture.width - 1, footer_top + 1}, kFooterEdge);
  paint.fill(RECT{1, footer_top + 1, picture.width - 1, picture.height - 1}, kFooter);
  const int button_left = picture.width - 1 - kMargin / 2 - kButtonWidth;
  const int button_top = footer_top + (kFooterHeight - kButtonHeight) / 2;
  picture.ok_button = RECT{button_left, button_top, button_left + kButtonWidth, button_top + kButtonHeight};
  paint.frame(picture.ok_button, kButtonEdge, kButtonFace);
  const std::u32string ok = U"OK";
  paint.text(button_left + (kButtonWidth - text_width(ok)) / 2,
             button_top + (kButtonHeight - line_height) / 2, ok, kTextInk);
  return picture;
}

}  // namespace platform
