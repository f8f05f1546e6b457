#include "pixel_font.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace imggen {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kAdvance = kGlyphWidth + 1;

struct Glyph {
  char letter;
  const char* rows[kGlyphHeight];
};

// Only the letters the game's screens spell.
constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
};

const Glyph& glyph(char letter) {
  for (const Glyph& g : kGlyphs) {
    if (g.letter == letter) return g;
  }
  throw std::invalid_argument(std::string("no glyph for '") + letter + "'");
}

struct Mask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> on;
  bool at(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && on[static_cast<std::size_t>(y) * width + x] != 0;
  }
  void set(int x, int y) { on[static_cast<std::size_t>(y) * width + x] = 1; }
};

Mask text_mask(std::string_view text) {
  Mask mask{static_cast<int>(text.size()) * kAdvance - 1, kGlyphHeight, {}};
  mask.on.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') continue;
    const Glyph& g = glyph(text[i]);
    for (int y = 0; y < kGlyphHeight; ++y) {
      for (int x = 0; x < kGlyphWidth; ++x) {
        if (g.rows[y][x] == '#') mask.set(static_cast<int>(i) * kAdvance + x, y);
      }
    }
  }
  return mask;
}

// Scale2x (EPX): doubles the mask and rounds off its staircase corners.
Mask scale2x(const Mask& in) {
  Mask out{in.width * 2, in.height * 2, {}};
  out.on.assign(static_cast<std::size_t>(out.width) * out.height, 0);
  for (int y = 0; y < in.height; ++y) {
    for (int x = 0; x < in.width; ++x) {
      const bool p = in.at(x, y);
      const bool a = in.at(x, y - 1);
      const bool b = in.at(x + 1, y);
      const bool c = in.at(x - 1, y);
      const bool d = in.at(x, y + 1);
      const bool e0 = (c == a && c != d && a != b) ? a : p;
      const bool e1 = (a == b && a != c && b != d) ? b : p;
      const bool e2 = (d == c && d != b && c != a) ? c : p;
      const bool e3 = (b == d && b != a && d != c) ? d : p;
      if (e0) out.set(2 * x, 2 * y);
      if (e1) out.set(2 * x + 1, 2 * y);
      if (e2) out.set(2 * x, 2 * y + 1);
      if (e3) out.set(2 * x + 1, 2 * y + 1);
    }
  }
  return out;
}

Mask blow_up(const Mask& in, int factor) {
  Mask out{in.width * factor, in.height * factor, {}};
  out.on.assign(static_cast<std::size_t>(out.width) * out.height, 0);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      if (in.at(x / factor, y / factor)) out.set(x, y);
    }
  }
  return out;
}

// Pixels within `radius` (a round brush) of the mask.
Mask dilate(const Mask& in, int radius) {
  Mask out{in.width, in.height, std::vector<std::uint8_t>(in.on.size(), 0)};
  for (int y = 0; y < in.height; ++y) {
    for (int x = 0; x < in.width; ++x) {
      if (!in.at(x, y)) continue;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          const int nx = x + dx;
          const int ny = y + dy;
          if (dx * dx + dy * dy <= radius * radius && nx >= 0 && ny >= 0 && nx < in.width && ny < in.height) {
            out.set(nx, ny);
          }
        }
      }
    }
  }
  return out;
}

}  // namespace

int draw_text(Canvas& canvas, std::string_view text, int centre_x, int top, int dot, const TextStyle& style) {
  // Room around the letters for their outline and shadow.
  const int margin = style.outline_width + style.shadow_offset + 1;
  const Mask smooth = blow_up(scale2x(scale2x(text_mask(text))), dot / 4);
  Mask letters{smooth.width + 2 * margin, smooth.height + 2 * margin, {}};
  letters.on.assign(static_cast<std::size_t>(letters.width) * letters.height, 0);
  for (int y = 0; y < smooth.height; ++y) {
    for (int x = 0; x < smooth.width; ++x) {
      if (smooth.at(x, y)) letters.set(x + margin, y + margin);
    }
  }
  const Mask ring = dilate(letters, style.outline_width);

  const int left = centre_x - letters.width / 2;
  const int origin_y = top - margin;
  const int bevel = std::max(1, dot / 6);
  for (int y = 0; y < letters.height; ++y) {
    for (int x = 0; x < letters.width; ++x) {
      const int px = left + x;
      const int py = origin_y + y;
      if (letters.at(x, y)) {
        const double t = static_cast<double>(y - margin) / std::max(1, smooth.height - 1);
        Rgb fill = mix(style.top, style.bottom, t);
        // Light from the upper left: a bright rim where the letter begins,
        // a dark one where it ends.
        if (!letters.at(x - bevel, y - bevel)) {
          fill = mix(fill, Rgb{255, 255, 255}, 0.45);
        } else if (!letters.at(x + bevel, y + bevel)) {
          fill = scale(fill, 0.65);
        }
        canvas.set(px, py, fill);
      } else if (ring.at(x, y)) {
        canvas.set(px, py, style.outline);
      } else if (ring.at(x - style.shadow_offset, y - style.shadow_offset)) {
        canvas.set(px, py, style.shadow);
      }
    }
  }
  return top + smooth.height;
}

}  // namespace imggen
