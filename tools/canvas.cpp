#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "bmp_bytes.h"

namespace imggen {
namespace {

std::uint8_t clamp_channel(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

std::uint32_t hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
  return {clamp_channel(a.r + (b.r - a.r) * t), clamp_channel(a.g + (b.g - a.g) * t),
          clamp_channel(a.b + (b.b - a.b) * t)};
}

Rgb scale(Rgb a, double f) {
  return {clamp_channel(a.r * f), clamp_channel(a.g * f), clamp_channel(a.b * f)};
}

Rgb add(Rgb a, Rgb b, double f) {
  return {clamp_channel(a.r + b.r * f), clamp_channel(a.g + b.g * f), clamp_channel(a.b + b.b * f)};
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::set(int x, int y, Rgb colour) {
  if (contains(x, y)) pixels_[index(x, y)] = colour;
}

void Canvas::fill_rect(int left, int top, int right, int bottom, Rgb colour) {
  for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) pixels_[index(x, y)] = colour;
  }
}

void Canvas::fill_circle(double cx, double cy, double radius, Rgb colour) {
  const int top = static_cast<int>(std::floor(cy - radius));
  const int bottom = static_cast<int>(std::ceil(cy + radius));
  const int left = static_cast<int>(std::floor(cx - radius));
  const int right = static_cast<int>(std::ceil(cx + radius));
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const double dx = x + 0.5 - cx;
      const double dy = y + 0.5 - cy;
      if (dx * dx + dy * dy < radius * radius) set(x, y, colour);
    }
  }
}

void Canvas::paste(const Canvas& sprite, int x, int y) {
  for (int sy = 0; sy < sprite.height(); ++sy) {
    for (int sx = 0; sx < sprite.width(); ++sx) {
      const Rgb c = sprite.at(sx, sy);
      if (!(c == kKey)) set(x + sx, y + sy, c);
    }
  }
}

void Canvas::outline(Rgb colour, int left, int top, int right, int bottom) {
  const Canvas before = *this;
  auto solid = [&before](int x, int y) { return before.contains(x, y) && !(before.at(x, y) == kKey); };
  for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) {
      if (solid(x, y)) continue;
      if (solid(x - 1, y) || solid(x + 1, y) || solid(x, y - 1) || solid(x, y + 1))
        pixels_[index(x, y)] = colour;
    }
  }
}

bool write_bmp(const std::string& path, const Canvas& canvas) {
  const std::vector<std::uint8_t> out =
      bmp::file_bytes(canvas.width(), canvas.height(), [&canvas](int x, int y, std::uint8_t* bgr) {
        const Rgb c = canvas.at(x, y);
        bgr[0] = c.b;
        bgr[1] = c.g;
        bgr[2] = c.r;
      });
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

std::uint32_t Random::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double value_noise(double x, std::uint32_t seed) {
  const double cell = std::floor(x);
  const double t = x - cell;
  const auto lattice = [seed](double i) {
    return hash(static_cast<std::uint32_t>(static_cast<std::int64_t>(i)) * 0x9E3779B1u ^ seed) / 4294967295.0;
  };
  const double s = t * t * (3.0 - 2.0 * t);
  return lattice(cell) + (lattice(cell + 1.0) - lattice(cell)) * s;
}

}  // namespace imggen
