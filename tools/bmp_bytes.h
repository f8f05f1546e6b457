// The 24-bit BMP the game loads, as bytes: the picture generator writes its
// pictures with it, the tests their pictures and damaged files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace bmp {

// Writes the blue, green and red bytes of picture pixel (x, y), y counted
// from the top row, at bgr.
using PixelFn = std::function<void(int x, int y, std::uint8_t* bgr)>;

// A 24-bit uncompressed bottom-up BMP: the 14- and 40-byte headers (72 dots
// per inch), the pixels at byte 54 in rows padded to a multiple of 4 bytes,
// the picture's bottom row stored first.
std::vector<std::uint8_t> file_bytes(int width, int height, const PixelFn& pixel);

// Little-endian fields, as the headers hold them.
void put_u16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

}  // namespace bmp
