// The browser host's pixels for the canvas: frames of either depth as R, G,
// B, 255 bytes against a plain rule, and a message box centred over them,
// cut at the canvas's edges.
#include "host/web/canvas_pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

// Bytes as the canvas reads them, one 0xRRGGBBAA a pixel.
Words bytes_of(const Words& words) {
  Words out;
  for (const std::uint32_t word : words) {
    std::uint8_t b[4];
    std::memcpy(b, &word, 4);
    out.push_back(std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3]);
  }
  return out;
}

TEST(CanvasPixels, FramesOfEitherDepthBecomeOpaqueRgbaBytes) {
  // Three pixels a row, rows padded to 16 (32-bit) and 8 (16-bit) bytes.
  Words wide(8, 0xDEADBEEF), want32, want16;
  std::vector<std::uint16_t> narrow(8, 0xBEEF);
  const auto widen = [](std::uint32_t v, int bits) { return v << (8 - bits) | v >> (2 * bits - 8); };
  for (const std::uint32_t c : {0x000000u, 0xFFFFFFu, 0x123456u, 0xFF0080u, 0x0102FEu, 0x80C040u}) {
    const std::uint32_t r = c >> 19, g = c >> 10 & 0x3F, b = c >> 3 & 0x1F;
    const std::size_t at = want32.size() / 3 * 4 + want32.size() % 3;
    wide[at] = c;
    narrow[at] = static_cast<std::uint16_t>(r << 11 | g << 5 | b);
    want32.push_back(c << 8 | 0xFF);
    want16.push_back(widen(r, 5) << 24 | widen(g, 6) << 16 | widen(b, 5) << 8 | 0xFF);
  }
  Words canvas(6);
  platform::frame_to_canvas({wide.data(), 3, 2, 16, 32}, canvas);
  EXPECT_EQ(bytes_of(canvas), want32);
  platform::frame_to_canvas({narrow.data(), 3, 2, 8, 16}, canvas);
  EXPECT_EQ(bytes_of(canvas), want16);
}

TEST(CanvasPixels, TheBoxIsCentredAndCutAtTheEdges) {
  // A 4 x 3 canvas, and four words past it that nothing may touch.
  Words memory(4 * 3 + 4, 0xFF000000u);
  const std::uint32_t k = 0x000000FF;  // opaque black, as bytes
  const POINT at = platform::box_to_canvas({2, 1, {0x112233, 0x445566}}, {memory.data(), 12}, 4);
  EXPECT_EQ(bytes_of(memory), (Words{k, k, k, k, k, 0x112233FF, 0x445566FF, k, k, k, k, k, k, k, k, k}));
  platform::MessageBoxPicture large{6, 5, {}};
  for (std::uint32_t i = 0; i < 30; ++i) large.pixels.push_back(i);
  const POINT over = platform::box_to_canvas(large, {memory.data(), 12}, 4);
  Words want;
  for (const std::uint32_t i : {7, 8, 9, 10, 13, 14, 15, 16, 19, 20, 21, 22}) want.push_back(i << 8 | 0xFF);
  want.insert(want.end(), 4, k);
  EXPECT_EQ(bytes_of(memory), want);
  EXPECT_EQ((Words{static_cast<std::uint32_t>(at.x), static_cast<std::uint32_t>(at.y),
                   static_cast<std::uint32_t>(over.x + 1), static_cast<std::uint32_t>(over.y + 1)}),
            (Words{1, 1, 0, 0}));
}

}  // namespace
