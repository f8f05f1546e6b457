// A folder laid out as the game expects to find it: IMG/ with the seven
// pictures, each a plain colour that tests can recognise on the screen.
#pragma once

#include <cstdint>

#include "testing/testing.h"

namespace hops_test {

// Screen colours of the test pictures (0x00RRGGBB).
inline constexpr std::uint32_t kBackColour = 0x00101010;
inline constexpr std::uint32_t kLoadingColour = 0x000000A0;
inline constexpr std::uint32_t kFieldColour = 0x00006000;
inline constexpr std::uint32_t kEndingColour = 0x00700070;
inline constexpr std::uint32_t kPlayerColour = 0x00C0C000;
inline constexpr std::uint32_t kBulletColour = 0x00FFFFFF;
inline constexpr std::uint32_t kBallColour = 0x00FF8000;
inline constexpr std::uint32_t kTextColour = 0x00FF0000;

// The title picture's transparent square window, where IMG_BACK shows through.
inline constexpr int kLoadingHoleLeft = 500, kLoadingHoleTop = 300, kLoadingHoleSize = 100;

// Makes a fresh folder the working directory, with IMG/ and the seven
// pictures in it unless `pictures` is false.
void enter_game_folder(bool pictures = true);

// Pixels of `colour` in the rectangle [left, right) x [top, bottom) of the screen.
int count_colour(const platform::testing::Screen& screen, std::uint32_t colour, int left = 0, int top = 0,
                 int right = 1024, int bottom = 768);

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right, bottom exclusive
  bool empty() const { return right <= left || bottom <= top; }
};
// Bounding box of the pixels of `colour` (of every other colour if `other`);
// empty when there are none.
Box colour_box(const platform::testing::Screen& screen, std::uint32_t colour, bool other = false);

}  // namespace hops_test
