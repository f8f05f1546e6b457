// TextOutA: CP949 text drawn with the system font in black and white, as
// the Windows system font draws without anti-aliasing.
#include <cstdint>
#include <string_view>

#include "ddraw/pixels.h"
#include "gdi32/device_context.h"
#include "gdi32/system_font.h"
#include "gdi32/text.h"
#include "kernel32/code_page.h"

namespace platform {

namespace {

// Pixels of a surface in its own format; writes outside it are dropped, as
// GDI clips text to the surface.
class Canvas {
 public:
  Canvas(const PixelView& target, COLORREF color)
      : target_(target), value_(pixel_of(color, target.bits_per_pixel)) {}

  bool drawable() const {
    return target_.pixels != nullptr && (target_.bits_per_pixel == 32 || target_.bits_per_pixel == 16);
  }

  void plot(long long x, long long y) const {
    if (x < 0 || y < 0 || x >= target_.width || y >= target_.height) return;
    std::uint8_t* const row = target_.row(static_cast<int>(y));
    if (target_.bits_per_pixel == 32) {
      reinterpret_cast<std::uint32_t*>(row)[x] = value_;
    } else {
      reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(value_);
    }
  }

  void fill(long long left, long long top, long long right, long long bottom) const {
    for (long long y = top; y < bottom; ++y) {
      for (long long x = left; x < right; ++x) plot(x, y);
    }
  }

 private:
  PixelView target_;
  std::uint32_t value_;
};

void plot_glyph(const Canvas& ink, const Glyph& glyph, long long pen, long long baseline) {
  for (int row = 0; row < glyph.rows; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      if (glyph.ink[static_cast<std::size_t>(row * glyph.width + column)] == 0) continue;
      ink.plot(pen + glyph.left + column, baseline - glyph.top + row);
    }
  }
}

}  // namespace

int text_line_height() {
  const SystemFont* font = system_font();
  return font != nullptr ? font->line_height() : kCellHeight;
}

int text_width(std::u32string_view text) {
  SystemFont* font = system_font();
  if (font == nullptr) return 0;
  int width = 0;
  for (const char32_t code_point : text) width += font->glyph(code_point).advance;
  return width;
}

void draw_text(const PixelView& target, long long x, long long y, std::u32string_view text, COLORREF color) {
  SystemFont* font = system_font();
  const Canvas ink(target, color);
  if (font == nullptr || !ink.drawable()) return;
  const long long baseline = y + font->ascender();
  long long pen = x;
  for (const char32_t code_point : text) {
    const Glyph& glyph = font->glyph(code_point);
    plot_glyph(ink, glyph, pen, baseline);
    pen += glyph.advance;
  }
}

}  // namespace platform

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  platform::PixelView target;
  int bk_mode = OPAQUE;
  COLORREF bk_color = 0;
  COLORREF text_color = 0;
  if (!platform::surface_dc_text_state(hdc, target, bk_mode, bk_color, text_color)) return FALSE;
  if (lpString == nullptr || c <= 0) return TRUE;
  platform::SystemFont* font = platform::system_font();
  const platform::Canvas ink(target, text_color);
  const platform::Canvas background(target, bk_color);
  if (font == nullptr || !ink.drawable()) return TRUE;

  const long long baseline = static_cast<long long>(y) + font->ascender();
  long long pen = x;
  for (const char32_t code_point :
       platform::decode_ansi(std::string_view(lpString, static_cast<std::size_t>(c)))) {
    const platform::Glyph& glyph = font->glyph(code_point);
    if (bk_mode == OPAQUE) {
      background.fill(pen, y, pen + glyph.advance, static_cast<long long>(y) + font->line_height());
      platform::note_surface_dc_drawing(hdc, pen, y, pen + glyph.advance,
                                        static_cast<long long>(y) + font->line_height());
    }
    if (glyph.rows > 0 && glyph.width > 0) {
      platform::note_surface_dc_drawing(hdc, pen + glyph.left, baseline - glyph.top,
                                        pen + glyph.left + glyph.width, baseline - glyph.top + glyph.rows);
    }
    platform::plot_glyph(ink, glyph, pen, baseline);
    pen += glyph.advance;
  }
  return TRUE;
}
