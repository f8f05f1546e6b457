// Surface memory: zeroed whatever its size, and ownership that moves.
#include "ddraw/pixel_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

using platform::PixelMemory;

constexpr std::size_t kFullScreen = std::size_t{1024} * 768 * 4;

bool all_zero(const PixelMemory& memory, std::size_t bytes) {
  return std::all_of(memory.get(), memory.get() + bytes, [](std::uint8_t byte) { return byte == 0; });
}

TEST(PixelMemory, SpritesAndScreensStartZeroed) {
  for (std::size_t bytes : {std::size_t{1}, std::size_t{16 * 32 * 4}, (std::size_t{1} << 20) - 1,
                            std::size_t{1} << 20, kFullScreen, kFullScreen * 3 + 12}) {
    PixelMemory memory(bytes);
    ASSERT_NE(memory.get(), nullptr) << bytes;
    EXPECT_TRUE(all_zero(memory, bytes)) << bytes;
    // Every byte is writable, the last one included.
    memory.get()[0] = 1;
    memory.get()[bytes - 1] = 2;
    EXPECT_EQ(memory.get()[bytes - 1], 2) << bytes;
  }
}

TEST(PixelMemory, MovesAndSwapsHandOverThePixels) {
  PixelMemory front(kFullScreen);
  PixelMemory sprite(64);
  front.get()[100] = 7;
  sprite.get()[5] = 9;
  std::uint8_t* const front_pixels = front.get();

  std::swap(front, sprite);
  EXPECT_EQ(sprite.get(), front_pixels);
  EXPECT_EQ(sprite.get()[100], 7);
  EXPECT_EQ(front.get()[5], 9);

  PixelMemory taken(std::move(sprite));
  EXPECT_EQ(sprite.get(), nullptr);
  EXPECT_EQ(taken.get()[100], 7);

  // Taking over another's memory gives back one's own: the mapping here, the
  // heap block at the end, which the leak checker would report if lost.
  taken = std::move(front);
  EXPECT_EQ(front.get(), nullptr);
  EXPECT_EQ(taken.get()[5], 9);
  taken = PixelMemory();
  EXPECT_EQ(taken.get(), nullptr);
}

}  // namespace
