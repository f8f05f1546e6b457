// Writing BMP files for tests: well-formed 24-bit pictures as the game's
// loader expects them, and raw bytes for damaged ones.
#pragma once

#include <string>

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

}  // namespace hops_test
