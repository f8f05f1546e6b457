// The browser host's pixels for the canvas: frames of either depth as R, G,
// B, 255 bytes against a plain rule, and a message box centred over them,
// cut at the canvas's edges.
#include "host/web/canvas_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Bytes as the canvas reads them, one "RRGGBBAA" a pixel.
std::vector<std::uint32_t> bytes_of(const std::vector<std::uint32_t>& words) {
  std::vector<std::uint32_t> out;
  for (const std::uint32_t word : words) {
    std::uint8_t b[4];
    std::memcpy(b, &word, 4);
    out.push_back(std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3]);
  }
  return out;
}

TEST(CanvasPixels, FramesOfEitherDepthBecomeOpaqueRgbaBytes) {
  const std::uint32_t colours[] = {0x00000000, 0x00FFFFFF, 0x00123456, 0x00FF0080, 0x000102FE, 0x0080C040};
  // Three pixels a row, rows padded to 16 (32-bit) and 8 (16-bit) bytes.
  std::vector<std::uint32_t> wide(8, 0xDEADBEEF);
  std::vector<std::uint16_t> narrow(8, 0xBEEF);
  std::vector<std::uint32_t> want32, want16;
  for (int i = 0; i < 6; ++i) {
    const std::uint32_t c = colours[i], r = c >> 16, g = c >> 8 & 0xFF, b = c & 0xFF;
    const std::size_t at = static_cast<std::size_t>(i / 3 * 4 + i % 3);
    wide[at] = c;
    narrow[at] = static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    want32.push_back(c << 8 | 0xFF);
    const std::uint32_t r5 = r >> 3, g6 = g >> 2, b5 = b >> 3;
    want16.push_back((r5 << 3 | r5 >> 2) << 24 | (g6 << 2 | g6 >> 4) << 16 | (b5 << 3 | b5 >> 2) << 8 | 0xFF);
  }
  std::vector<std::uint32_t> canvas(6, 0);
  platform::frame_to_canvas({wide.data(), 3, 2, 16, 32}, canvas);
  EXPECT_EQ(bytes_of(canvas), want32);
  platform::frame_to_canvas({narrow.data(), 3, 2, 8, 16}, canvas);
  EXPECT_EQ(bytes_of(canvas), want16);
}

TEST(CanvasPixels, TheBoxIsCentredAndCutAtTheEdges) {
  platform::MessageBoxPicture box{2, 1, {0x00112233, 0x00445566}};
  // Four words past the canvas's twelve, which nothing may touch.
  std::vector<std::uint32_t> memory(4 * 3 + 4, 0xFF000000u);
  const std::span<std::uint32_t> canvas(memory.data(), 4 * 3);
  const POINT at = platform::box_to_canvas(box, canvas, 4);
  EXPECT_EQ(at.x * 10 + at.y, 11);
  const std::uint32_t k = 0x000000FF;  // opaque black
  EXPECT_EQ(bytes_of(memory),
            (std::vector<std::uint32_t>{k, k, k, k, k, 0x112233FF, 0x445566FF, k, k, k, k, k, k, k, k, k}));

  box = {6, 5, {}};
  for (std::uint32_t i = 0; i < 30; ++i) box.pixels.push_back(i);
  const POINT over = platform::box_to_canvas(box, canvas, 4);
  EXPECT_EQ(over.x * 10 + over.y, -11);
  std::vector<std::uint32_t> want;
  for (const std::uint32_t i : {7, 8, 9, 10, 13, 14, 15, 16, 19, 20, 21, 22}) want.push_back(i << 8 | 0xFF);
  want.insert(want.end(), 4, k);
  EXPECT_EQ(bytes_of(memory), want);
}

}  // namespace
