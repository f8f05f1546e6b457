#include "icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "pictures.h"

namespace imggen {
namespace {

constexpr int kScene = 400;
// The rounded square's corner radius, of the scene's side.
constexpr double kCorner = 0.18;
// Points sampled per output pixel along each axis.
constexpr int kSamples = 4;

Canvas scene() {
  const Canvas sky = night_sky();
  Canvas canvas(kScene, kScene, kKey);
  // The sky's upper-right corner, with the moon.
  for (int y = 0; y < kScene; ++y) {
    for (int x = 0; x < kScene; ++x) canvas.set(x, y, sky.at(sky.width() - kScene + x, y));
  }
  canvas.paste(ball(), 20, 90);
  return canvas;
}

bool inside_rounded_square(double x, double y) {
  const double r = kCorner * kScene;
  const double dx = std::max({r - x, 0.0, x - (kScene - r)});
  const double dy = std::max({r - y, 0.0, y - (kScene - r)});
  return dx * dx + dy * dy <= r * r;
}

}  // namespace

bool write_icon(const std::string& path, int size) {
  const Canvas picture = scene();
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
  const double step = static_cast<double>(kScene) / size / kSamples;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0;
      int covered = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = (x * kSamples + sx + 0.5) * step;
          const double py = (y * kSamples + sy + 0.5) * step;
          if (!inside_rounded_square(px, py)) continue;
          const Rgb colour = picture.at(static_cast<int>(px), static_cast<int>(py));
          r += colour.r;
          g += colour.g;
          b += colour.b;
          ++covered;
        }
      }
      std::uint8_t* const out = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
      if (covered == 0) continue;
      out[0] = static_cast<std::uint8_t>(std::lround(r / covered));
      out[1] = static_cast<std::uint8_t>(std::lround(g / covered));
      out[2] = static_cast<std::uint8_t>(std::lround(b / covered));
      out[3] = static_cast<std::uint8_t>(std::lround(255.0 * covered / (kSamples * kSamples)));
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  const bool written = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), size * 4, nullptr) != 0;
  png_image_free(&image);
  return written;
}

}  // namespace imggen
