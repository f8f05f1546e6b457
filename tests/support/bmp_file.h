// The test pictures: well-formed 24-bit BMP files as the game's loader
// expects them, raw bytes for damaged ones, and a folder laid out as the
// game expects to find it: IMG/ with the seven pictures, each a plain colour
// that tests can recognise on the screen.
#pragma once

#include <string>

#include "testing/testing.h"
#include "tools/bmp_bytes.h"

// 1 in a build with the address sanitizer, whose runtime reserves terabytes
// of address space and holds freed memory back. The tests build with GCC,
// which names that build so.
#ifdef __SANITIZE_ADDRESS__
#define HOPS_TEST_SANITIZED 1
#else
#define HOPS_TEST_SANITIZED 0
#endif

namespace hops_test {

// Colour 0x00RRGGBB of picture pixel (x, y), y counted from the top row.
using PixelFn = std::function<std::uint32_t(int x, int y)>;

// A fresh, empty folder under the system's temp folder; it and everything in
// it is removed when the test ends.
std::string make_temp_dir();

// The bytes of a 24-bit uncompressed bottom-up BMP with its pixels at byte 54:
// rows padded to a multiple of 4 bytes, the picture's bottom row stored first.
std::vector<std::uint8_t> bmp_bytes(int width, int height, const PixelFn& pixel);

// Writes the bytes as they are to dir/name; returns the path.
std::string write_file(const std::string& dir, const std::string& name,
                       const std::vector<std::uint8_t>& bytes);

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
