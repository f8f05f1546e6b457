// An RGB picture in memory, the few drawing operations the pictures are made
// of, and writing it as the 24-bit bottom-up BMP the game loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imggen {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The game's transparent colour.
inline constexpr Rgb kKey{255, 0, 255};

// Channel-wise a + (b - a) * t, t in [0, 1], rounded.
Rgb mix(Rgb a, Rgb b, double t);
// a scaled by f (may exceed 1), clamped.
Rgb scale(Rgb a, double f);
// a plus b times f, clamped: light added on top.
Rgb add(Rgb a, Rgb b, double f);

// Picture pixels, row 0 at the top.
class Canvas {
 public:
  Canvas(int width, int height, Rgb fill);

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
  // Writes inside the picture; points outside are ignored.
  void set(int x, int y, Rgb colour);
  void fill_rect(int left, int top, int right, int bottom, Rgb colour);
  // Pixels whose centres lie within radius of (cx, cy).
  void fill_circle(double cx, double cy, double radius, Rgb colour);
  // Copies the non-key pixels of `sprite` with its top-left at (x, y).
  void paste(const Canvas& sprite, int x, int y);
  // Surrounds every non-key region with a line of `colour` on key pixels
  // (4-neighbours), inside the rectangle [left, right) x [top, bottom).
  void outline(Rgb colour, int left, int top, int right, int bottom);

 private:
  std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

// Writes the canvas as BMP: 14 + 40 header bytes, pixels at byte 54, 24 bits
// a pixel, rows padded to 4 bytes and stored bottom row first. False if the
// file cannot be written.
bool write_bmp(const std::string& path, const Canvas& canvas);

// Deterministic pseudo-random numbers (xorshift32), the same on every build.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
  std::uint32_t next();
  // Uniform in [0, n).
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  // Uniform in [0, 1).
  double unit() { return (next() >> 8) * (1.0 / 16777216.0); }

 private:
  std::uint32_t state_;
};

// Smooth 1-D value noise in [0, 1]: hashed values at the integers,
// smoothstep between them.
double value_noise(double x, std::uint32_t seed);

}  // namespace imggen
