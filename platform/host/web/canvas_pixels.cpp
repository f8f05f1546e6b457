#include "host/web/canvas_pixels.h"

namespace platform {
namespace {

// 0x00RRGGBB into the word whose little-endian bytes are R, G, B, 0xFF.
constexpr std::uint32_t canvas_word(std::uint32_t pixel) {
  return 0xFF000000u | (pixel & 0x0000FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16;
}

void to_canvas_words(const std::uint32_t* row, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x) out[x] = canvas_word(row[x]);
}

}  // namespace

void frame_to_canvas(const FrameView& frame, std::span<std::uint32_t> canvas, const PictureRect& part) {
  const std::size_t width = static_cast<std::size_t>(frame.width);
  std::uint32_t* const first_row =
      canvas.data() + static_cast<std::size_t>(part.y) * width + static_cast<std::size_t>(part.x);
  if (frame.bits_per_pixel == 16) {
    // Widened by the scaling kernel at 1:1, then reordered in place.
    scale_nearest_part(frame, canvas.data(), frame.width * 4, PictureRect{0, 0, frame.width, frame.height},
                       part);
    for (int y = 0; y < part.height; ++y) {
      std::uint32_t* const row = first_row + static_cast<std::size_t>(y) * width;
      to_canvas_words(row, part.width, row);
    }
    return;
  }
  const auto* rows = static_cast<const std::uint8_t*>(frame.pixels) + static_cast<std::ptrdiff_t>(part.x) * 4;
  for (int y = 0; y < part.height; ++y) {
    to_canvas_words(
        reinterpret_cast<const std::uint32_t*>(rows + static_cast<std::ptrdiff_t>(part.y + y) * frame.pitch),
        part.width, first_row + static_cast<std::size_t>(y) * width);
  }
}

POINT box_to_canvas(const MessageBoxPicture& box, std::span<std::uint32_t> canvas, int canvas_width) {
  const int canvas_height = static_cast<int>(canvas.size()) / canvas_width;
  const POINT at{(canvas_width - box.width) / 2, (canvas_height - box.height) / 2};
  for (int y = 0; y < box.height; ++y) {
    const int canvas_y = at.y + y;
    if (canvas_y < 0 || canvas_y >= canvas_height) continue;
    for (int x = 0; x < box.width; ++x) {
      const int canvas_x = at.x + x;
      if (canvas_x < 0 || canvas_x >= canvas_width) continue;
      canvas[static_cast<std::size_t>(canvas_y) * static_cast<std::size_t>(canvas_width) +
             static_cast<std::size_t>(canvas_x)] =
          canvas_word(box.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(box.width) +
                                 static_cast<std::size_t>(x)]);
    }
  }
  return at;
}

}  // namespace platform
