// A folder laid out as the game expects to find it: IMG/ with the seven
// pictures, each a plain colour that tests can recognise on the screen.
#pragma once

#include "testing/testing.h"

namespace hops_test {

// Screen colours of the test pictures (0x00RRGGBB); the status text is red.
// The title has a transparent square window, 500 to 600 across and 300 to
// 400 down, where IMG_BACK shows through.
inline constexpr std::uint32_t kBackColour = 0x00101010, kLoadingColour = 0x000000A0,
                               kFieldColour = 0x00006000, kEndingColour = 0x00700070,
                               kPlayerColour = 0x00C0C000, kBulletColour = 0x00FFFFFF,
                               kBallColour = 0x00FF8000, kTextColour = 0x00FF0000;

// Makes a fresh folder the working directory, with IMG/ and the seven
// pictures in it unless `pictures` is false.
void enter_game_folder(bool pictures = true);

// Bounding box {left, top, right, bottom} (right, bottom exclusive) of the
// pixels of `colour` (of every other colour if `other`); {width, height, 0,
// 0} when there are none.
std::vector<int> colour_box(const platform::testing::Screen& screen, std::uint32_t colour,
                            bool other = false);

}  // namespace hops_test
