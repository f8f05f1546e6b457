#include "host/picture_scaling.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {
namespace {

PictureRect centred(int output_width, int output_height, int width, int height) {
  return PictureRect{(output_width - width) / 2, (output_height - height) / 2, width, height};
}

PictureRect fit_rect(int output_width, int output_height, int picture_width, int picture_height) {
  const std::int64_t wide = static_cast<std::int64_t>(output_width) * picture_height;
  const std::int64_t tall = static_cast<std::int64_t>(output_height) * picture_width;
  if (wide <= tall) {
    return centred(
        output_width, output_height, output_width,
        static_cast<int>(static_cast<std::int64_t>(output_width) * picture_height / picture_width));
  }
  return centred(output_width, output_height,
                 static_cast<int>(static_cast<std::int64_t>(output_height) * picture_width / picture_height),
                 output_height);
}

std::uint32_t widen_565(std::uint16_t pixel) {
  const std::uint32_t r = (pixel >> 11) & 0x1F;
  const std::uint32_t g = (pixel >> 5) & 0x3F;
  const std::uint32_t b = pixel & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// One output row from one source row through the column map.
void scale_row(const FrameView& frame, const unsigned char* source, std::uint32_t* out,
               const std::vector<int>& columns) {
  const int width = static_cast<int>(columns.size());
  if (frame.bits_per_pixel == 16) {
    const auto* pixels = reinterpret_cast<const std::uint16_t*>(source);
    for (int x = 0; x < width; ++x) out[x] = widen_565(pixels[columns[static_cast<std::size_t>(x)]]);
    return;
  }
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(source);
  if (width == frame.width) {
    std::memcpy(out, pixels, static_cast<std::size_t>(width) * 4);
    return;
  }
  for (int x = 0; x < width; ++x) out[x] = pixels[columns[static_cast<std::size_t>(x)]];
}

}  // namespace

PictureRect picture_rect(int output_width, int output_height, int picture_width, int picture_height,
                         ScaleMode mode) {
  if (output_width <= 0 || output_height <= 0 || picture_width <= 0 || picture_height <= 0) return {};
  if (mode == ScaleMode::integer) {
    const int factor = std::min(output_width / picture_width, output_height / picture_height);
    if (factor >= 1) {
      return centred(output_width, output_height, picture_width * factor, picture_height * factor);
    }
  }
  return fit_rect(output_width, output_height, picture_width, picture_height);
}

int sharp_factor(const PictureRect& rect, int picture_width) {
  if (picture_width <= 0) return 1;
  return std::max(1, (rect.width + picture_width - 1) / picture_width);
}

ScaleMode scale_mode_from(const char* value) {
  if (value == nullptr) return ScaleMode::fit;
  if (std::strcmp(value, "integer") == 0) return ScaleMode::integer;
  if (std::strcmp(value, "sharp") == 0) return ScaleMode::sharp;
  return ScaleMode::fit;
}

void scale_nearest(const FrameView& frame, std::uint32_t* output, int output_pitch, const PictureRect& rect) {
  if (frame.pixels == nullptr || rect.width <= 0 || rect.height <= 0) return;
  std::vector<int> columns(static_cast<std::size_t>(rect.width));
  for (int x = 0; x < rect.width; ++x) {
    columns[static_cast<std::size_t>(x)] =
        static_cast<int>(static_cast<std::int64_t>(x) * frame.width / rect.width);
  }
  const auto* source = static_cast<const unsigned char*>(frame.pixels);
  auto* target = reinterpret_cast<unsigned char*>(output);
  const std::size_t row_bytes = static_cast<std::size_t>(rect.width) * 4;
  int previous_row = -1;
  std::uint32_t* previous_out = nullptr;
  for (int y = 0; y < rect.height; ++y) {
    const int row = static_cast<int>(static_cast<std::int64_t>(y) * frame.height / rect.height);
    auto* out =
        reinterpret_cast<std::uint32_t*>(target + static_cast<std::ptrdiff_t>(rect.y + y) * output_pitch) +
        rect.x;
    // Rows that repeat a source row copy the row already scaled.
    if (row == previous_row) {
      std::memcpy(out, previous_out, row_bytes);
    } else {
      scale_row(frame, source + static_cast<std::ptrdiff_t>(row) * frame.pitch, out, columns);
    }
    previous_row = row;
    previous_out = out;
  }
}

}  // namespace platform
